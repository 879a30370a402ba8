#include "lister/qt/record_table_model.h"

#include "lister/core/display_text.h"
#include "lister/qt/visible_text.h"

namespace lister::window {

void RecordTableModel::SetHeaderTexts(const std::array<QString, kColumnCount>& texts) {
  headerTexts_ = texts;
  emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(kColumnCount) - 1);
}

void RecordTableModel::ResetRows(const std::function<void()>& resize) {
  beginResetModel();
  resize();
  published_ = 0;
  endResetModel();
}

void RecordTableModel::PublishFilledRows() {
  const int filled = static_cast<int>(rows_.Filled());
  if (filled > published_) {
    emit dataChanged(index(published_, 0), index(filled - 1, static_cast<int>(kColumnCount) - 1),
                     {Qt::DisplayRole});
    published_ = filled;
  }
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.Rows());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kColumnCount);
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return {};
  }
  const RecordRow* row = rows_.Row(index.row());
  if (row == nullptr) {
    return QString();
  }
  return DisplayText(
      FormatRowUtf8(*row, RunText::kShort)[static_cast<std::size_t>(index.column())]);
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(kColumnCount)) {
    return {};
  }
  // The header row paints its texts itself, left and top like the cells.
  return role == Qt::DisplayRole ? QVariant(headerTexts_[static_cast<std::size_t>(section)])
                                 : QVariant();
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace lister::window
