// The selected rows of the record table as text for the clipboard, so that they paste into a
// spreadsheet as a table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lister/core/record_row.h"
#include "lister/desktop/row_store.h"

namespace lister {

// Rows [first, end) of the store (0 is the first record row) as tab-separated lines, the header
// row of column titles first, each cell as the table shows it (UTF-8, runs named per `runText`;
// a row not yet filled has empty cells). Tabs and line breaks inside a cell become spaces, so
// that every row stays one line; every line ends with `lineEnd`. Bounds outside the store are
// clamped to it.
std::string CopiedRowsText(const RowStore& rows, std::int64_t first, std::int64_t end,
                           RunText runText, std::string_view lineEnd);

}  // namespace lister
