// Texts of a listing as a view shows them: record names and the archive title are the archive's
// Windows-1252 bytes and become UTF-8; every other text is already ASCII or comes from the path.
#pragma once

#include <vector>

#include "lister/core/listing_view.h"
#include "lister/core/record_row.h"

namespace lister {

RowCells FormatRowUtf8(const RecordRow& row, RunText runText = RunText::kFull);
std::vector<std::string> SummaryLinesUtf8(const Summary& summary);

}  // namespace lister
