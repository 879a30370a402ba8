// The rows of the record table (StringGrid1). The grid's fixed header row, row 0, is the view's
// horizontal header, whose texts this model gives as header data; model row r is therefore grid
// row r + 1, the r-th record row. Rows are kept as compact RecordRow values (a million of them
// fit in some 40 MB) and turned into cell texts only when a cell is drawn.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "listing_texts.h"
#include "record_row.h"

namespace lister::window {

class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetHeaderTexts(const std::array<QString, kColumnCount>& texts);

  // The table becomes `recordRows` rows with every cell empty, to be filled by SetRecordRow.
  // Qt counts rows in int, so a table holds at most INT_MAX rows; rows past that are dropped.
  void ResizeRecords(std::int64_t recordRows);
  // Fills a row without telling the view, which would cost as much as the listing itself for a
  // large archive; PublishFilledRows tells it about every row filled since its last call.
  void SetRecordRow(std::int64_t row, const RecordRow& record);
  void PublishFilledRows();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::array<QString, kColumnCount> headerTexts_;
  std::vector<RecordRow> rows_;  // rows filled so far; the rest of the table is still empty
  int rowCount_ = 0;
  int published_ = 0;
};

}  // namespace lister::window
