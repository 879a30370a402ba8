#include "lister/qt/about.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "lister/core/listing_texts.h"
#include "lister/desktop/window_layout.h"
#include "lister/qt/program_icon.h"
#include "lister/qt/visible_text.h"
#include "lister/qt/window_font.h"
#include "lister/qt/window_placement.h"

namespace lister::window {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->move(at);
  label->adjustSize();
  return label;
}

double AboutScale(const QWidget& box) {
  const double scale = box.logicalDpiY() / 96.0;
  const QScreen* screen = box.screen() != nullptr ? box.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return scale;
  }
  // A title bar and a frame's room kept free.
  const QSize room = screen->availableGeometry().size() - QSize(16, 40);
  return std::min({scale, static_cast<double>(room.width()) / kAboutClientWidth,
                   static_cast<double>(room.height()) / kAboutClientHeight});
}

}  // namespace

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("TAboutBox");
  setWindowTitle(FixedText(kAboutCaption));
  setModal(true);
  // Unlike the main window, the about box follows the screen's resolution, as far as the screen
  // has room for it.
  const double scale = AboutScale(*this);
  const auto px = [scale](int value) { return static_cast<int>(std::lround(value * scale)); };
  const auto place = [&px](const Box& box) {
    return QRect(px(box.left), px(box.top), px(box.width), px(box.height));
  };
  setFont(WindowFont(px(kWindowFontPixels)));

  aboutPanel_ = new QFrame(this);
  aboutPanel_->setObjectName("AboutPanel");
  // A lowered outer and a raised inner bevel.
  aboutPanel_->setFrameStyle(QFrame::Box | QFrame::Sunken);
  aboutPanel_->setGeometry(place(kAboutPanel));

  programIcon_ = new QLabel(aboutPanel_);
  programIcon_->setObjectName("ProgramIcon");
  programIcon_->setPixmap(ProgramIconPixmap());
  programIcon_->setScaledContents(true);
  programIcon_->setGeometry(place(kProgramIcon));

  QFont bold = font();
  bold.setBold(true);
  productName_ = MakeLabel(aboutPanel_, "ProductName", FixedText(kProductName),
                           place(kProductNameAt).topLeft());
  productName_->setFont(bold);
  productName_->adjustSize();
  copyright_ = MakeLabel(
      aboutPanel_, "Copyright",
      QString::fromUtf8(kCopyrightText.data(), static_cast<qsizetype>(kCopyrightText.size())),
      place(kCopyrightAt).topLeft());
  version_ = MakeLabel(aboutPanel_, "Version", QString(), place(kVersionAt).topLeft());

  okButton_ = new QPushButton(FixedText(kOKCaption), this);
  okButton_->setObjectName("OKButton");
  okButton_->setGeometry(place(kOKButton));
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  okButton_->setFocus();

  setFixedSize(px(kAboutClientWidth), px(kAboutClientHeight));
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
  // OK is not a cancel button, so Esc closes nothing here.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void AboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FitOnScreen(*this);
}

}  // namespace lister::window
