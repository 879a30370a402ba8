#include "lister/qt/line_label_accessible.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "lister/desktop/window_layout.h"
#include "lister/qt/line_label.h"

namespace lister::window {

namespace {

// One line of a label, an object of its own for screen readers only.
class LineAccessible : public QAccessibleInterface {
 public:
  LineAccessible(LineLabel* label, int line) : label_(label), line_(line) {}

  bool isValid() const override { return label_ != nullptr && line_ < label_->Lines().size(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    return label_ != nullptr ? label_->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(label_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Name && isValid() ? label_->SpokenLine(line_) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) {
      return {};
    }
    return {label_->mapToGlobal(QPoint(0, kLabelLineHeight * line_)),
            QSize(label_->width(), kLabelLineHeight)};
  }
  QAccessible::Role role() const override { return QAccessible::StaticText; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = label_ == nullptr || !label_->isVisible();
    return state;
  }

 private:
  QPointer<LineLabel> label_;
  int line_;
};

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
  auto* label = qobject_cast<LineLabel*>(object);
  return className == QLatin1String(LineLabel::staticMetaObject.className()) && label != nullptr
             ? new LineLabelAccessible(label)
             : nullptr;
}

}  // namespace

LineLabelAccessible::LineLabelAccessible(LineLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText) {}

LineLabelAccessible::~LineLabelAccessible() {
  for (const QAccessible::Id id : lineIds_) {
    QAccessible::deleteAccessibleInterface(id);
  }
}

const LineLabel& LineLabelAccessible::Label() const {
  return *static_cast<const LineLabel*>(widget());
}

int LineLabelAccessible::childCount() const {
  return static_cast<int>(Label().Lines().size());
}

QAccessibleInterface* LineLabelAccessible::child(int index) const {
  if (index < 0 || index >= childCount()) {
    return nullptr;
  }
  while (lineIds_.size() <= static_cast<std::size_t>(index)) {
    auto* line = const_cast<LineLabel*>(&Label());
    lineIds_.push_back(QAccessible::registerAccessibleInterface(
        new LineAccessible(line, static_cast<int>(lineIds_.size()))));
  }
  return QAccessible::accessibleInterface(lineIds_[static_cast<std::size_t>(index)]);
}

int LineLabelAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
  const auto found = std::find(lineIds_.begin(), lineIds_.end(), id);
  return found == lineIds_.end() || static_cast<int>(found - lineIds_.begin()) >= childCount()
             ? -1
             : static_cast<int>(found - lineIds_.begin());
}

QString LineLabelAccessible::text(QAccessible::Text kind) const {
  if (kind != QAccessible::Name) {
    return QAccessibleWidget::text(kind);
  }
  QStringList lines;
  for (int i = 0; i < childCount(); ++i) {
    lines.append(Label().SpokenLine(i));
  }
  return lines.join(u'\n');
}

void LineLabelAccessible::Install() {
  static const bool installed = [] {
    QAccessible::installFactory(MakeInterface);
    return true;
  }();
  (void)installed;
}

}  // namespace lister::window
