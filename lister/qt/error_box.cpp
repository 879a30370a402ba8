#include "lister/qt/error_box.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <algorithm>

#include "lister/desktop/text_wrap.h"
#include "lister/desktop/window_layout.h"
#include "lister/qt/visible_text.h"
#include "lister/qt/window_placement.h"

namespace lister::window {

namespace {

// `text` in lines no wider than `width` pixels in `font`.
QString WrappedText(const QString& text, const QFont& font, int width) {
  const QFontMetrics metrics(font);
  QStringList lines;
  for (const std::u32string& line :
       WrapText<char32_t>(text.toStdU32String(), width, [&metrics](std::u32string_view part) {
         return metrics.horizontalAdvance(
             QString::fromUcs4(part.data(), static_cast<qsizetype>(part.size())));
       })) {
    lines.append(QString::fromStdU32String(line));
  }
  return lines.join(u'\n');
}

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
  setText(WrappedText(message, font(), HalfScreenWidth(parent) - iconColumn));
  setObjectName("ErrorBox");
  // A file name can hold "<" or "&"; the message is never read as markup.
  setTextFormat(Qt::PlainText);
  QPushButton* ok = addButton(QMessageBox::Ok);
  setDefaultButton(ok);
}

void ErrorBox::showEvent(QShowEvent* event) {
  // QMessageBox settles its size while being shown; only then can it be centred.
  QMessageBox::showEvent(event);
  FitOnScreen(*this);
}

}  // namespace lister::window
