// Trovanta.exe: start-up in the fixed order, then the main window's message loop.
#include <windows.h>

#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "lister/desktop/command_line_split.h"
#include "lister/win32/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  archive::ArchiveReader reader;
  // The program's own reading of the line, not the C runtime's; the program name comes first.
  // The first argument is the archive whatever it looks like, and is taken whole at any length.
  const std::vector<std::string> args = lister::SplitCommandLine(GetCommandLineA());
  lister::win32::RegisterWindowClasses(instance);
  lister::win32::TForm1 form(reader);
  form.SetArchivePath(args.size() > 1 ? args[1] : std::string());
  form.PlaceFixedTexts();
  form.ListArchive();
  form.Show();
  return lister::win32::RunMessageLoop(form);
}
