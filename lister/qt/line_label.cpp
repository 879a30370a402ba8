#include "lister/qt/line_label.h"

#include <QAccessible>
#include <QEvent>
#include <QPainter>
#include <algorithm>

#include "lister/desktop/window_layout.h"
#include "lister/qt/line_label_accessible.h"
#include "lister/qt/visible_text.h"

namespace lister::window {

LineLabel::LineLabel(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Window);
  resize(sizeHint());
  LineLabelAccessible::Install();
}

void LineLabel::SetLines(const QStringList& lines) {
  lines_.clear();
  for (const QString& line : lines) {
    lines_.append(ShowControls(line));
  }
  resize(sizeHint());
  update();
  QAccessibleEvent changed(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
}

QString LineLabel::SpokenLine(qsizetype line) const {
  const QString caption = captions_.value(line);
  return caption.isEmpty() ? lines_.value(line) : caption + u' ' + lines_.value(line);
}

QSize LineLabel::sizeHint() const {
  int width = 0;
  for (const QString& line : lines_) {
    width = std::max(width, fontMetrics().horizontalAdvance(line));
  }
  return {width, kLabelLineHeight * static_cast<int>(lines_.size())};
}

void LineLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    const QRect line(0, kLabelLineHeight * static_cast<int>(i), width(), kLabelLineHeight);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, lines_[i]);
  }
}

void LineLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    resize(sizeHint());
  }
  QWidget::changeEvent(event);
}

}  // namespace lister::window
