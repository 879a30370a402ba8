// Start-up of Trovanta up to the first show of its main window.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "lister/qt/dialog_runner.h"
#include "lister/qt/main_window.h"

namespace lister::window {

// The classic Windows style draws the window as designed: group box captions in the frame,
// 3-D edges, flat button-face panels. A style the user asks for (QT_STYLE_OVERRIDE) wins. Before
// the QApplication exists.
void UseClassicStyle();

// The name, desktop entry and icon that the task bar and the window manager show; once a
// QApplication exists.
void NameApplication();

// With the reader in its initial state and the application named: takes the first argument as
// the archive path (further ones are ignored; a long one is taken whole), builds the main window
// without showing it, places the header row and the field names, and lists the archive, whose
// error box therefore comes before the window. `args` excludes the program name.
std::unique_ptr<MainWindow> PrepareMainWindow(archive::ArchiveReader& reader,
                                              const std::vector<std::string>& args,
                                              DialogRunner runDialog = ExecDialog);

// The command line taken apart before Qt sees it: the program's arguments are the bytes as given,
// and Qt gets only the program name, so that an archive named like one of Qt's options
// (-reverse, -style X, -platform X) is still the archive. Qt's settings come from the
// environment (QT_QPA_PLATFORM, QT_STYLE_OVERRIDE, ...).
class ProgramArguments {
 public:
  ProgramArguments(int argc, char** argv);
  ProgramArguments(const ProgramArguments&) = delete;
  ProgramArguments& operator=(const ProgramArguments&) = delete;

  // What QApplication is given; both outlive it, as it requires.
  int& QtArgc() { return qtArgc_; }
  char** QtArgv() { return qtArgv_.data(); }
  // The arguments without the program name.
  const std::vector<std::string>& Args() const { return args_; }

 private:
  std::vector<std::string> args_;
  std::string programName_;
  int qtArgc_ = 1;
  std::array<char*, 2> qtArgv_{};
};

// The whole program: the application, its main window, and the event loop until the window
// closes; returns the exit status. `beforeShow` sees the main window just before its first show.
int RunTrovanta(int argc, char** argv, const std::function<void(MainWindow&)>& beforeShow = {});

}  // namespace lister::window
