// The record table (recordGrid_) as a Qt model over the session's rows. The grid's fixed header
// row, row 0, is the view's horizontal header, whose texts this model gives as header data; model
// row r is therefore grid row r + 1, the r-th record row.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <functional>

#include "lister/core/listing_texts.h"
#include "lister/desktop/row_store.h"

namespace lister::window {

class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RecordTableModel(const RowStore& rows, QObject* parent = nullptr)
      : QAbstractTableModel(parent), rows_(rows) {}

  void SetHeaderTexts(const std::array<QString, kColumnCount>& texts);

  // `resize` changes the rows' count, every cell empty; the view learns of the new table.
  void ResetRows(const std::function<void()>& resize);
  // Rows are filled without telling the view, which would cost as much as the listing itself
  // for a large archive; this tells it about every row filled since its last call.
  void PublishFilledRows();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::array<QString, kColumnCount> headerTexts_;
  const RowStore& rows_;
  int published_ = 0;
};

}  // namespace lister::window
