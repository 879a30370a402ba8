// TAboutBox: the modal about box with the program's icon, name and copyright line. Its layout
// is given at 96 pixels per inch and scaled to the screen's resolution. Enter presses OK; Esc
// does nothing; the title bar's close button closes it.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace lister::window {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QFrame* AboutPanel;
  QLabel* ProgramIcon;
  QLabel* ProductName;
  QLabel* Copyright;
  QLabel* Version;
  QPushButton* OKButton;
};

}  // namespace lister::window
