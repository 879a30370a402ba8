// The modal box that shows a listing's message: caption "Error", the stop icon, the message as
// plain text wrapped at half the screen's width and one "OK" button that Enter and Esc both press.
// It opens centred on the screen.
#pragma once

#include <QMessageBox>

namespace lister::window {

class ErrorBox : public QMessageBox {
  Q_OBJECT

 public:
  ErrorBox(const QString& message, QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace lister::window
