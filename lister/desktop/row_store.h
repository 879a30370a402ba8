// The rows of a window's record table. Rows are kept as compact RecordRow values (a million of
// them fit in some 40 MB) and turned into cell texts only when a cell is drawn. Row r is the
// r-th record row, grid row r + 1 below the fixed header row.
#pragma once

#include <cstdint>
#include <vector>

#include "lister/core/record_row.h"

namespace lister {

class RowStore {
 public:
  // The table becomes `recordRows` rows with every cell empty, to be filled by Set. Toolkits
  // count rows in int, so a table holds at most INT_MAX rows; rows past that are dropped.
  void Resize(std::int64_t recordRows);
  // The table ends after its first `recordRows` rows; those keep what they hold.
  void Cut(std::int64_t recordRows);
  // Rows outside the table are ignored.
  void Set(std::int64_t row, const RecordRow& record);

  // The table's rows, filled or not.
  std::int64_t Rows() const { return rowCount_; }
  // Rows 0 to Filled() - 1 have been set or lie before a row that has.
  std::int64_t Filled() const { return static_cast<std::int64_t>(rows_.size()); }
  // The row, or nullptr while it is still empty or outside the table.
  const RecordRow* Row(std::int64_t row) const;

 private:
  std::vector<RecordRow> rows_;
  std::int64_t rowCount_ = 0;
};

}  // namespace lister
