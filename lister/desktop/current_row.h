// Which row of the record table is current after a listing, for every window. Rows are counted
// as in the grid: the fixed header row is row 0, so the first record is row 1.
#pragma once

#include <cstdint>

namespace lister {

struct CurrentRow {
  std::int64_t row = 0;  // 0: the table has no record row, so no row is current
  bool fromTop = false;  // show the table from its top, not scroll only as far as needed
};

// `previousRow` is the row current before the listing, or 0 when the listing before it failed,
// listed no record, or there was none; `recordRows` is the new table's record rows (0 after a
// failed listing).
CurrentRow ChooseCurrentRow(std::int64_t previousRow, std::int64_t recordRows);

}  // namespace lister
