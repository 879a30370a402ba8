#include "window_test_support.h"

#include <QApplication>
#include <QTimer>

#include "about.h"
#include "error_box.h"

namespace lister::window::testing {

archive::ArchiveImage NumberedArchive(int records, const std::string& title) {
  std::vector<archive::RecordSpec> numbered;
  for (int i = 0; i < records; ++i) {
    archive::RecordSpec record;
    record.name = "R" + std::to_string(i) + ".SPR";
    record.storedSize = 100 + i;
    numbered.push_back(record);
  }
  return archive::BuildArchive(title, 1, numbered);
}

DialogRunner DialogScript::Runner() {
  return [this](QDialog& dialog) {
    if (onAnyDialog) {
      onAnyDialog(dialog);
    }
    if (auto* box = qobject_cast<ErrorBox*>(&dialog)) {
      errors.append(box->text());
      windowShownAtError.push_back(box->parentWidget() != nullptr &&
                                   box->parentWidget()->isVisible());
      return static_cast<int>(QMessageBox::Ok);
    }
    if (qobject_cast<TAboutBox*>(&dialog) != nullptr) {
      ++aboutBoxes;
      return static_cast<int>(QDialog::Accepted);
    }
    if (auto* open = qobject_cast<QFileDialog*>(&dialog)) {
      ++openDialogs;
      return answerOpen(*open);
    }
    return static_cast<int>(QDialog::Rejected);
  };
}

std::function<int(QFileDialog&)> DialogScript::Choose(const QString& path) {
  return [path](QFileDialog& dialog) {
    dialog.selectFile(path);
    return static_cast<int>(QDialog::Accepted);
  };
}

void AnswerNextModal(std::function<void(QWidget&)> answer, int triesLeft) {
  QTimer::singleShot(10, [answer = std::move(answer), triesLeft]() mutable {
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr) {
      answer(*modal);
    } else if (triesLeft > 0) {
      AnswerNextModal(std::move(answer), triesLeft - 1);
    }
  });
}

}  // namespace lister::window::testing
