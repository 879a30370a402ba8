// Start-up of Trovanta up to the first show of its main window.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive_reader.h"
#include "dialog_runner.h"
#include "main_window.h"

namespace lister::window {

// With the reader in its initial state and the application named: takes the first argument as
// the archive path (further ones are ignored; a long one is taken whole), builds the main window
// without showing it, places the header row and the field names, and lists the archive, whose
// error box therefore comes before the window. `args` excludes the program name.
std::unique_ptr<TForm1> PrepareMainWindow(archive::ArchiveReader& reader,
                                          const std::vector<std::string>& args,
                                          DialogRunner runDialog = ExecDialog);

// The whole program: the application, its main window, and the event loop until the window
// closes; returns the exit status. `beforeShow` sees the main window just before its first show.
int RunTrovanta(int argc, char** argv, const std::function<void(TForm1&)>& beforeShow = {});

}  // namespace lister::window
