// Start-up of Trovanta up to the first show of its main window.
#pragma once

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

}  // namespace lister::window
