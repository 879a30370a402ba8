#include "error_box.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>

#include "visible_text.h"
#include "window_layout.h"
#include "window_placement.h"

namespace lister::window {

QString WrapText(const QString& text, const QFont& font, int width) {
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    QString piece = text.mid(line.textStart(), line.textLength());
    // The blanks at a break give way to the line break; at the end they show nothing either.
    while (piece.endsWith(u' ')) {
      piece.chop(1);
    }
    lines.append(piece);
  }
  layout.endLayout();
  return lines.join(u'\n');
}

namespace {

int HalfScreenWidth(const QWidget* parent) {
  const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().width() / 2 : 512;
}

}  // namespace

ErrorBox::ErrorBox(const QString& message, QWidget* parent)
    : QMessageBox(QMessageBox::Critical, FixedText(kErrorCaption), QString(), QMessageBox::NoButton,
                  parent) {
  // Wrapped here rather than by the message box, which breaks only at blanks and grows to the
  // whole screen for a long file name.
  // The stop icon and the gaps beside it take their share of the half screen.
  const int iconColumn = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this) +
                         2 * std::max(style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing), 6);
  setText(WrapText(message, font(), HalfScreenWidth(parent) - iconColumn));
  setObjectName("ErrorBox");
  // A file name can hold "<" or "&"; the message is never read as markup.
  setTextFormat(Qt::PlainText);
  QPushButton* ok = addButton(QMessageBox::Ok);
  setDefaultButton(ok);
}

void ErrorBox::showEvent(QShowEvent* event) {
  // QMessageBox settles its size while being shown; only then can it be centred.
  QMessageBox::showEvent(event);
  CentreOnScreen(*this);
}

}  // namespace lister::window
