#include "lister/desktop/current_row.h"

#include <algorithm>

namespace lister {

CurrentRow ChooseCurrentRow(std::int64_t previousRow, std::int64_t recordRows) {
  if (recordRows <= 0) {
    return {};
  }
  // A table without records leaves no current row, so the listing after it starts afresh at
  // row 1, as after a failed listing.
  if (previousRow <= 0) {
    return {1, true};
  }
  return {std::min(previousRow, recordRows), false};
}

}  // namespace lister
