// The modal box that shows a listing's message: caption "Error", the stop icon, the message as
// plain text wrapped at half the screen's width and one "OK" button that Enter and Esc both press.
// It opens centred on the screen.
#pragma once

#include <QMessageBox>

namespace lister::window {

// `text` in lines no wider than `width` pixels in `font`: broken at blanks where it can be, inside
// a word that is wider than a line on its own.
QString WrapText(const QString& text, const QFont& font, int width);

class ErrorBox : public QMessageBox {
  Q_OBJECT

 public:
  ErrorBox(const QString& message, QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace lister::window
