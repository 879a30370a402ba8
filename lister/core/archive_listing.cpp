#include "lister/core/archive_listing.h"

#include <algorithm>

#include "archive/byte_file.h"
#include "archive/path_text.h"

namespace lister {

void ListingTotals::Add(const RecordRow& row) {
  if (row.kind != RowKind::kRecord) {
    return;
  }
  compressed += row.storedSize;
  if (!row.Compressed()) {
    uncompressed += row.storedSize;
    return;
  }
  anyCompressed = true;
  if (row.lengthKnown) {
    uncompressed += row.uncompressedLength;
  }
}

IndexRange EntriesInsideFile(std::int32_t directoryOffset, std::int32_t count,
                             std::int64_t fileSize) {
  constexpr auto kEntry = static_cast<std::int64_t>(archive::kEntrySize);
  const std::int32_t total = std::max(count, 0);
  const std::int64_t offset = directoryOffset;
  const std::int64_t first = offset >= 0 ? 0 : (-offset + kEntry - 1) / kEntry;
  const std::int64_t room = fileSize - kEntry - offset;
  const std::int64_t end = room >= 0 ? room / kEntry + 1 : 0;
  // Both bounds are clamped to [0, total], so they fit the record count's type.
  const auto clampedFirst = static_cast<std::int32_t>(std::min<std::int64_t>(first, total));
  return {clampedFirst,
          static_cast<std::int32_t>(std::clamp<std::int64_t>(end, clampedFirst, total))};
}

namespace {

// Rows that the empty records [first, end) take; 0 <= first <= end.
std::int32_t RowsForEmptyRun(std::int32_t first, std::int32_t end) {
  return end - first > kMaxEmptyRunRows ? 1 : end - first;
}

}  // namespace

void ArchiveListing::ListArchive() {
  const archive::PathParts parts = archive::SplitPath(archivePath_);
  archiveName_ = parts.baseName + parts.extension;
  changed_ = false;
  stopRequested_ = false;
  cut_ = false;
  if (archivePath_.empty()) {
    Fail(kNoFileMessage);
    return;
  }
  if (!archive::IsExistingFile(archivePath_)) {
    Fail(kNoSuchFileMessage);
    return;
  }
  recordCount_ = reader_.CountRecords(archivePath_);
  if (reader_.Status() != archive::ReaderStatus::kNoError) {
    Fail(NotAnArchiveMessage(archiveName_));
    return;
  }
  identity_ = reader_.OpenedIdentity();
  // Entries that cannot lie inside the file are empty records without opening the file for
  // each, so the work is bounded by the file's size rather than by the stated count.
  const IndexRange inside =
      EntriesInsideFile(reader_.DirectoryOffset(), recordCount_, reader_.FileSize());
  const std::int32_t count = std::max(recordCount_, 0);
  view_.ResizeTable(std::int64_t{RowsForEmptyRun(0, inside.first)} + (inside.end - inside.first) +
                    RowsForEmptyRun(inside.end, count));
  nextRow_ = 0;
  ListingTotals totals;
  PutEmptyRows(0, inside.first);
  for (std::int32_t index = inside.first; index < inside.end && !cut_; ++index) {
    if (stopRequested_) {
      CutAt(index, count);
      break;
    }
    const std::optional<RecordRow> row = ReadRecordRow(index);
    if (row) {
      totals.Add(*row);
      PutRow(*row);
    } else {
      changed_ = true;
      CutAt(index, count);
    }
  }
  if (!cut_) {
    PutEmptyRows(inside.end, count);
  }

  view_.SetCaption(CaptionFor(archiveName_));
  version_ = reader_.Version();
  totals_ = totals;  // after a cut, the totals of the rows read
  RefreshSummary();
  if (changed_) {
    view_.ShowError(ChangedMessage(archiveName_));
  }
}

std::optional<RecordRow> ArchiveListing::ReadRecordRow(std::int32_t index) {
  RecordRow row;
  row.index = index;
  const bool read = reader_.ReadEntry(archivePath_, index);
  if (!SameFile(reader_.OpenedIdentity())) {
    return std::nullopt;
  }
  if (!read) {
    return row;
  }
  row.kind = RowKind::kRecord;
  row.SetName(reader_.RecordName());
  row.method = reader_.Method();
  row.storedSize = reader_.StoredSize();
  // A length that cannot be read (data past the end of the file, a negative data offset) is
  // shown as unreadable.
  std::optional<std::int32_t> length;
  if (row.Compressed()) {
    std::optional<archive::FileIdentity> opened;
    length = archive::ReadUncompressedLength(archivePath_, reader_.DataOffset(), &opened);
    if (!SameFile(opened)) {
      return std::nullopt;
    }
  }
  row.lengthKnown = length.has_value();
  row.uncompressedLength = length.value_or(0);
  return row;
}

void ArchiveListing::PutEmptyRows(std::int32_t first, std::int32_t end) {
  if (end - first > kMaxEmptyRunRows) {
    RecordRow run;
    run.kind = RowKind::kEmptyRun;
    run.index = first;
    run.runLength = end - first;
    PutRow(run);
    return;
  }
  for (std::int32_t index = first; index < end; ++index) {
    RecordRow empty;
    empty.index = index;
    PutRow(empty);
  }
}

void ArchiveListing::CutAt(std::int32_t index, std::int32_t count) {
  cut_ = true;
  PutRow({.index = index, .runLength = count - index, .kind = RowKind::kNotListed});
  view_.CutTable(nextRow_);
}

void ArchiveListing::Fail(std::string_view message) {
  view_.ShowError(std::string(message));
  ResetListing();
}

void ArchiveListing::ResetListing() {
  view_.ResizeTable(0);
  archiveName_.clear();
  RefreshSummary();
}

void ArchiveListing::SetShowInKB(bool flag) {
  if (flag != showInKB_) {
    showInKB_ = flag;
    RefreshSummary();
  }
}

std::string ArchiveListing::SizeText(std::int64_t bytes) const {
  return showInKB_ ? std::to_string((bytes + 1023) / 1024) + " KB"
                   : std::to_string(bytes) + " bytes";
}

void ArchiveListing::RefreshSummary() {
  Summary summary;
  summary.listed = !archiveName_.empty();
  if (!summary.listed) {
    summary.lines.emplace_back(kNotAnArchiveSummary);
  } else {
    const std::string savings =
        totals_.anyCompressed
            ? SizeText(totals_.compressed) + " (" +
                  FormatPermille(SavedPermille(totals_.compressed, totals_.uncompressed)) +
                  "% gained)"
            : SizeText(totals_.uncompressed) + " (not compressed)";
    summary.lines = {reader_.Title(), std::to_string(version_), std::to_string(recordCount_),
                     SizeText(totals_.uncompressed) + ' ', savings};
  }
  summaryText_ = Join(summary.lines, std::string_view(&kLineSeparator, 1));
  view_.SetSummary(summary);
}

}  // namespace lister
