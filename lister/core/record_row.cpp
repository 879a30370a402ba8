#include "lister/core/record_row.h"

#include <algorithm>
#include <cstring>

namespace lister {

void RecordRow::SetName(std::string_view text) {
  nameLength = static_cast<std::uint8_t>(std::min(text.size(), name.size()));
  std::memcpy(name.data(), text.data(), nameLength);
}

namespace {

std::string MethodText(std::uint8_t method) {
  switch (method) {
    case archive::kMethodStored:
      return "no";
    case archive::kMethodLzw:
      return "lzw";
    default:
      return std::to_string(method);
  }
}

}  // namespace

RowCells FormatRow(const RecordRow& row, RunText runText) {
  RowCells cells;
  cells[0] = std::to_string(row.index);
  switch (row.kind) {
    case RowKind::kEmpty:
      cells[1] = kEmptyRecordText;
      break;
    case RowKind::kEmptyRun:
      cells[1] =
          std::to_string(row.runLength) + (runText == RunText::kFull ? " empty records" : " empty");
      break;
    case RowKind::kNotListed:
      cells[1] = std::to_string(row.runLength) +
                 (runText == RunText::kFull ? " records not listed" : " not listed");
      break;
    case RowKind::kRecord:
      cells[1] = row.Name();
      cells[2] = MethodText(row.method);
      cells[3] = std::to_string(row.storedSize);
      if (row.Compressed() && row.lengthKnown) {
        cells[4] = std::to_string(row.uncompressedLength);
        cells[5] = FormatPermille(SavedPermille(row.storedSize, row.uncompressedLength)) + '%';
      } else if (row.Compressed()) {
        cells[4] = kUnreadableLengthText;
      }
      break;
  }
  return cells;
}

}  // namespace lister
