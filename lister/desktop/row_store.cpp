#include "lister/desktop/row_store.h"

#include <algorithm>
#include <limits>

namespace lister {

void RowStore::Resize(std::int64_t recordRows) {
  rowCount_ = std::clamp<std::int64_t>(recordRows, 0, std::numeric_limits<int>::max());
  // A fresh vector also gives back the memory of a larger table listed before.
  std::vector<RecordRow> rows;
  rows.reserve(static_cast<std::size_t>(rowCount_));
  rows_.swap(rows);
}

void RowStore::Cut(std::int64_t recordRows) {
  rowCount_ = std::clamp<std::int64_t>(recordRows, 0, rowCount_);
  if (Filled() > rowCount_) {
    rows_.resize(static_cast<std::size_t>(rowCount_));
  }
}

void RowStore::Set(std::int64_t row, const RecordRow& record) {
  if (row < 0 || row >= rowCount_) {
    return;
  }
  const auto at = static_cast<std::size_t>(row);
  if (at >= rows_.size()) {
    rows_.resize(at + 1);
  }
  rows_[at] = record;
}

const RecordRow* RowStore::Row(std::int64_t row) const {
  return row >= 0 && row < Filled() ? &rows_[static_cast<std::size_t>(row)] : nullptr;
}

}  // namespace lister
