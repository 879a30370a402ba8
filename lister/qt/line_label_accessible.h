// What screen readers find in a LineLabel: static text whose children are its lines, each read
// with its caption (the field name beside it) before its text.
#pragma once

#include <QAccessibleWidget>
#include <vector>

namespace lister::window {

class LineLabel;

class LineLabelAccessible : public QAccessibleWidget {
 public:
  explicit LineLabelAccessible(LineLabel* label);
  ~LineLabelAccessible() override;

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QString text(QAccessible::Text kind) const override;

  // Makes Qt's accessibility ask this class for every LineLabel; once, before the first query.
  static void Install();

 private:
  const LineLabel& Label() const;

  // The lines' interfaces, made when first asked for and kept until the label goes.
  mutable std::vector<QAccessible::Id> lineIds_;
};

}  // namespace lister::window
