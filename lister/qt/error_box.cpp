#include "error_box.h"

#include <QPushButton>

#include "window_placement.h"

namespace lister::window {

ErrorBox::ErrorBox(const QString& message, QWidget* parent)
    : QMessageBox(QMessageBox::Critical, QString::fromLatin1(kErrorCaption), message,
                  QMessageBox::NoButton, parent) {
  setObjectName("ErrorBox");
  // A file name can hold "<" or "&"; the message is never read as markup.
  setTextFormat(Qt::PlainText);
  QPushButton* ok = addButton(QMessageBox::Ok);
  setDefaultButton(ok);
  setEscapeButton(ok);
  setWindowModality(Qt::ApplicationModal);
}

void ErrorBox::showEvent(QShowEvent* event) {
  // QMessageBox settles its size while being shown; only then can it be centred.
  QMessageBox::showEvent(event);
  CentreOnScreen(*this);
}

}  // namespace lister::window
