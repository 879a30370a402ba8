// One row of the record table, stored compactly (a view may keep a million of them) and turned
// into its six cell texts only when shown.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "archive/archive_format.h"
#include "lister/core/listing_texts.h"

namespace lister {

enum class RowKind : std::uint8_t {
  kRecord,     // an entry that was read
  kEmpty,      // an empty slot, or an entry that cannot be read
  kEmptyRun,   // a run of more than 1,000 entries that cannot lie inside the file
  kNotListed,  // the records from `index` on, not read: the archive changed during its listing
};

struct RecordRow {
  std::int32_t index = 0;      // the record's number; the first record's of a run
  std::int32_t runLength = 1;  // records that a run or a not-listed row stands for
  std::int32_t storedSize = 0;
  std::int32_t uncompressedLength = 0;
  RowKind kind = RowKind::kEmpty;
  std::uint8_t method = archive::kMethodStored;
  bool lengthKnown = false;  // the four length bytes of a compressed record could be read
  std::uint8_t nameLength = 0;
  std::array<char, archive::kNameCapacity> name{};

  std::string_view Name() const { return {name.data(), nameLength}; }
  bool Compressed() const { return archive::IsCompressed(method, storedSize); }
  void SetName(std::string_view text);
};

// Shown in the uncompressed-size column of a compressed record whose length cannot be read.
inline constexpr std::string_view kUnreadableLengthText = "unreadable";

using RowCells = std::array<std::string, kColumnCount>;

// How a run of empty records names itself: "N empty records" where there is room, "N empty" in
// the window's 111-pixel name column, where the longer text would be cut off; likewise the
// records not listed, "N records not listed" or "N not listed".
enum class RunText : std::uint8_t { kFull, kShort };

// The six cell texts of a row, sizes in bytes. Texts are the archive's single-byte text.
RowCells FormatRow(const RecordRow& row, RunText runText = RunText::kFull);

}  // namespace lister
