// How the main window runs its modal dialogs. The program runs them with QDialog::exec; tests
// answer the fully built dialog in place, without a nested event loop.
#pragma once

#include <QDialog>
#include <functional>

namespace lister::window {

// Shows `dialog` modally and returns its result code once it has closed.
using DialogRunner = std::function<int(QDialog& dialog)>;

inline int ExecDialog(QDialog& dialog) {
  return dialog.exec();
}

}  // namespace lister::window
