#include "lister/qt/about.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
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

}  // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName("TAboutBox");
  setWindowTitle(FixedText(kAboutCaption));
  setModal(true);
  // Unlike the main window, the about box follows the screen's resolution.
  const double scale = logicalDpiY() / 96.0;
  const auto px = [scale](int value) { return static_cast<int>(std::lround(value * scale)); };
  const auto place = [&px](const Box& box) {
    return QRect(px(box.left), px(box.top), px(box.width), px(box.height));
  };
  setFont(WindowFont(px(kWindowFontPixels)));

  AboutPanel = new QFrame(this);
  AboutPanel->setObjectName("AboutPanel");
  // A lowered outer and a raised inner bevel.
  AboutPanel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  AboutPanel->setGeometry(place(kAboutPanel));

  ProgramIcon = new QLabel(AboutPanel);
  ProgramIcon->setObjectName("ProgramIcon");
  ProgramIcon->setPixmap(ProgramIconPixmap());
  ProgramIcon->setScaledContents(true);
  ProgramIcon->setGeometry(place(kProgramIcon));

  QFont bold = font();
  bold.setBold(true);
  ProductName = MakeLabel(AboutPanel, "ProductName", FixedText(kProductName),
                          place(kProductNameAt).topLeft());
  ProductName->setFont(bold);
  ProductName->adjustSize();
  Copyright = MakeLabel(
      AboutPanel, "Copyright",
      QString::fromUtf8(kCopyrightText.data(), static_cast<qsizetype>(kCopyrightText.size())),
      place(kCopyrightAt).topLeft());
  Version = MakeLabel(AboutPanel, "Version", QString(), place(kVersionAt).topLeft());

  OKButton = new QPushButton(FixedText(kOKCaption), this);
  OKButton->setObjectName("OKButton");
  OKButton->setGeometry(place(kOKButton));
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  OKButton->setFocus();

  setFixedSize(px(kAboutClientWidth), px(kAboutClientHeight));
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
  // OK is not a cancel button, so Esc closes nothing here.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TAboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnScreen(*this);
}

}  // namespace lister::window
