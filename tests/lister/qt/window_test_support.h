// Archives and dialog answers for the window tests.
#pragma once

#include <QDialog>
#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "dialog_runner.h"

#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace lister::window::testing {

// An archive of `records` uncompressed records named R0.SPR, R1.SPR, ...
archive::ArchiveImage NumberedArchive(int records, const std::string& title = "Numbered");

// Stands in for the user in front of the window's modal dialogs, without blocking: it logs
// every error box and about box and answers the open dialog with `answerOpen`.
class DialogScript {
 public:
  DialogRunner Runner();

  // Picks a file: types `path` into the name box and confirms.
  static std::function<int(QFileDialog&)> Choose(const QString& path);
  static int Cancel(QFileDialog&) { return QDialog::Rejected; }

  std::function<int(QFileDialog&)> answerOpen = Cancel;
  std::function<void(QDialog&)> onAnyDialog;  // called first, for every dialog
  QStringList errors;
  std::vector<bool> windowShownAtError;  // whether the error box's window was on screen
  int aboutBoxes = 0;
  int openDialogs = 0;
};

// The descendant of `root` with that object name; throws when there is none.
template <typename T>
T& Child(const QObject& root, const char* name) {
  T* child = root.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) {
    throw std::runtime_error(std::string("no child named ") + name);
  }
  return *child;
}

// Runs `answer` on the modal widget that a nested event loop shows next, looking for it every
// 10 ms for at most `triesLeft` more tries.
void AnswerNextModal(std::function<void(QWidget&)> answer, int triesLeft = 500);

}  // namespace lister::window::testing
