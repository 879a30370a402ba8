// AboutBox: the modal about box with the program's icon, name and copyright line. Its layout
// is given at 96 pixels per inch and scaled to the screen's resolution. Enter presses OK; Esc
// does nothing; the title bar's close button closes it.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace lister::window {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QFrame* aboutPanel_;
  QLabel* programIcon_;
  QLabel* productName_;
  QLabel* copyright_;
  QLabel* version_;
  QPushButton* okButton_;
};

}  // namespace lister::window
