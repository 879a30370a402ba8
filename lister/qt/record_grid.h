// The record table's view: a table scrolled by whole rows whose top visible row is always whole.
#pragma once

#include <QTableView>

namespace lister::window {

class RecordGrid : public QTableView {
  Q_OBJECT

 public:
  using QTableView::QTableView;

 protected:
  void scrollContentsBy(int dx, int dy) override;
  void updateGeometries() override;

 private:
  // Scrolled to the end, QTableView aligns the last row with the bottom edge and the top row
  // lies half under the header row. Here the top row starts at the top edge, and any space left
  // stays below the last row.
  void KeepTopRowWhole();
};

}  // namespace lister::window
