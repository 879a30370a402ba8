#include "lister/desktop/row_copy.h"

#include <algorithm>

#include "lister/core/display_text.h"
#include "lister/core/listing_texts.h"

namespace lister {

namespace {

void AppendLine(std::string& text, const auto& cells, std::string_view lineEnd) {
  bool firstCell = true;
  for (const auto& cell : cells) {
    if (!firstCell) {
      text += '\t';
    }
    firstCell = false;
    for (const char c : std::string_view(cell)) {
      text += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
    }
  }
  text += lineEnd;
}

}  // namespace

std::string CopiedRowsText(const RowStore& rows, std::int64_t first, std::int64_t end,
                           RunText runText, std::string_view lineEnd) {
  std::string text;
  AppendLine(text, kHeaderTexts, lineEnd);
  const RowCells emptyCells{};
  for (std::int64_t row = std::max<std::int64_t>(first, 0); row < std::min(end, rows.Rows());
       ++row) {
    const RecordRow* record = rows.Row(row);
    AppendLine(text, record != nullptr ? FormatRowUtf8(*record, runText) : emptyCells, lineEnd);
  }
  return text;
}

}  // namespace lister
