#include "lister/core/display_text.h"

#include "archive/ansi_text.h"

namespace lister {

RowCells FormatRowUtf8(const RecordRow& row, RunText runText) {
  RowCells cells = FormatRow(row, runText);
  if (row.kind == RowKind::kRecord) {
    cells[1] = archive::AnsiToUtf8(cells[1]);
  }
  return cells;
}

std::vector<std::string> SummaryLinesUtf8(const Summary& summary) {
  std::vector<std::string> lines = summary.lines;
  if (summary.listed) {
    lines[0] = archive::AnsiToUtf8(lines[0]);
  }
  return lines;
}

}  // namespace lister
