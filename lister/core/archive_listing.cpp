#include "archive_listing.h"

#include <algorithm>

#include "byte_file.h"
#include "path_text.h"

namespace lister {

std::string Summary::Text() const {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      text.push_back(kLineSeparator);
    }
    text += lines[i];
  }
  return text;
}

IndexRange EntriesInsideFile(std::int32_t directoryOffset, std::int32_t count,
                             std::int64_t fileSize) {
  constexpr auto kEntry = static_cast<std::int64_t>(archive::kEntrySize);
  const std::int64_t total = std::max<std::int32_t>(count, 0);
  const std::int64_t offset = directoryOffset;
  const std::int64_t first = offset >= 0 ? 0 : (-offset + kEntry - 1) / kEntry;
  const std::int64_t room = fileSize - kEntry - offset;
  const std::int64_t end = room >= 0 ? room / kEntry + 1 : 0;
  IndexRange range;
  range.first = std::min(first, total);
  range.end = std::clamp(end, range.first, total);
  return range;
}

namespace {

std::int64_t RowsForEmptyRun(std::int64_t length) {
  return length > kMaxEmptyRunRows ? 1 : length;
}

}  // namespace

void ArchiveListing::ListArchive() {
  const archive::PathParts parts = archive::SplitPath(archivePath_);
  archiveName_ = parts.baseName + parts.extension;
  if (archivePath_.empty()) {
    Fail(std::string(kNoFileMessage));
    return;
  }
  if (!archive::IsExistingFile(archivePath_)) {
    Fail(std::string(kNoSuchFileMessage));
    return;
  }
  recordCount_ = reader_.CountRecords(archivePath_);
  if (reader_.Status() != archive::ReaderStatus::kNoError) {
    Fail(NotAnArchiveMessage(archiveName_));
    return;
  }
  std::int64_t uncompressed = 0;
  std::int64_t compressed = 0;
  bool any = false;

  // Entries that cannot lie inside the file are empty records without opening the file for
  // each, so the work is bounded by the file's size rather than by the stated count.
  const IndexRange inside =
      EntriesInsideFile(reader_.DirectoryOffset(), recordCount_, reader_.FileSize());
  const std::int64_t count = std::max<std::int32_t>(recordCount_, 0);
  view_.ResizeTable(RowsForEmptyRun(inside.first) + (inside.end - inside.first) +
                    RowsForEmptyRun(count - inside.end));
  std::int64_t row = 0;
  PutEmptyRows(row, 0, static_cast<std::int32_t>(inside.first));
  for (std::int64_t i = inside.first; i < inside.end; ++i) {
    view_.SetRecordRow(row++,
                       ReadRecordRow(static_cast<std::int32_t>(i), uncompressed, compressed, any));
  }
  PutEmptyRows(row, static_cast<std::int32_t>(inside.end), static_cast<std::int32_t>(count));

  view_.SetCaption(CaptionFor(archiveName_));
  version_ = reader_.Version();
  totalUncompressed_ = uncompressed;
  totalCompressed_ = compressed;
  anyCompressed_ = any;
  RefreshSummary();
}

RecordRow ArchiveListing::ReadRecordRow(std::int32_t index, std::int64_t& uncompressed,
                                        std::int64_t& compressed, bool& any) {
  RecordRow row;
  row.index = index;
  if (!reader_.ReadEntry(archivePath_, index)) {
    return row;
  }
  row.kind = RowKind::kRecord;
  row.SetName(reader_.RecordName());
  row.method = reader_.Method();
  row.storedSize = reader_.StoredSize();
  row.compressed = archive::IsCompressed(row.method, row.storedSize);
  compressed += row.storedSize;
  if (!row.compressed) {
    uncompressed += row.storedSize;
    return row;
  }
  any = true;
  // A length that cannot be read (data past the end of the file, a negative data offset) is
  // shown as unreadable and adds nothing to the uncompressed total.
  const std::optional<std::int32_t> length =
      archive::ReadUncompressedLength(archivePath_, reader_.DataOffset());
  if (length) {
    row.lengthKnown = true;
    row.uncompressedLength = *length;
    uncompressed += *length;
  }
  return row;
}

void ArchiveListing::PutEmptyRows(std::int64_t& row, std::int32_t first, std::int32_t end) {
  const std::int64_t length = static_cast<std::int64_t>(end) - first;
  if (length > kMaxEmptyRunRows) {
    RecordRow run;
    run.kind = RowKind::kEmptyRun;
    run.index = first;
    run.runLength = static_cast<std::int32_t>(length);
    view_.SetRecordRow(row++, run);
    return;
  }
  for (std::int32_t i = first; i < end; ++i) {
    RecordRow empty;
    empty.index = i;
    view_.SetRecordRow(row++, empty);
  }
}

void ArchiveListing::Fail(const std::string& message) {
  view_.ShowError(message);
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
  return std::to_string(showInKB_ ? (bytes + 1023) / 1024 : bytes);
}

std::string ArchiveListing::UnitText() const {
  return showInKB_ ? " KB" : " bytes";
}

void ArchiveListing::RefreshSummary() {
  Summary summary;
  if (archiveName_.empty()) {
    summary.lines.emplace_back(kNotAnArchiveSummary);
  } else {
    summary.lines.push_back(reader_.Title());
    summary.lines.push_back(std::to_string(version_));
    summary.lines.push_back(std::to_string(recordCount_));
    summary.lines.push_back(SizeText(totalUncompressed_) + UnitText() + ' ');
    if (anyCompressed_) {
      summary.lines.push_back(SizeText(totalCompressed_) + UnitText() + " (" +
                              FormatPermille(SavedPermille(totalCompressed_, totalUncompressed_)) +
                              "% gained)");
    } else {
      summary.lines.push_back(SizeText(totalUncompressed_) + UnitText() + " (not compressed)");
    }
  }
  summaryText_ = summary.Text();
  view_.SetSummary(summary);
}

}  // namespace lister
