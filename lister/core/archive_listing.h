// The listing of one archive into the record table and the summary, through the archive reader.
// The program keeps one listing for its whole run; each ListArchive runs to completion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "archive/archive_reader.h"
#include "lister/core/listing_view.h"

namespace lister {

// Runs of entries that cannot lie inside the file longer than this show as one row.
inline constexpr std::int64_t kMaxEmptyRunRows = 1000;

// Sums over the records of a listing, in 64 bits so that archives above 2 GB of content show
// true totals. A record adds its stored size to the compressed total, and to the uncompressed
// total its stored size when stored or its readable uncompressed length when compressed.
struct ListingTotals {
  std::int64_t uncompressed = 0;
  std::int64_t compressed = 0;
  bool anyCompressed = false;

  void Add(const RecordRow& row);
};

class ArchiveListing {
 public:
  ArchiveListing(archive::ArchiveReader& reader, ListingView& view)
      : reader_(reader), view_(view) {}

  void SetArchivePath(std::string path) { archivePath_ = std::move(path); }

  // Lists the archive at the archive path; on failure shows the message, then resets. An open
  // that finds another file than the first open did (replaced, changed or deleted) stops the
  // listing there: the rows read stay, one row stands for the records not listed, the summary
  // holds the totals of the rows read, and then the changed message is shown. A listing stopped
  // through Stop ends the same way before its next record, without a message.
  void ListArchive();
  // Asks the running listing to stop before its next record; called from within the view.
  void Stop() { stopRequested_ = true; }
  void RefreshSummary();
  void ResetListing();
  void SetShowInKB(bool flag);

  const std::string& ArchiveName() const { return archiveName_; }
  // True when the last listing stopped because the archive changed.
  bool Changed() const { return changed_; }
  // True when the last listing stopped early, because the archive changed or through Stop.
  bool Cut() const { return cut_; }
  std::int32_t RecordCount() const { return recordCount_; }
  std::int64_t TotalUncompressed() const { return totals_.uncompressed; }
  std::int64_t TotalCompressed() const { return totals_.compressed; }
  bool ShowInKB() const { return showInKB_; }
  // The summary's lines joined by carriage returns.
  const std::string& SummaryText() const { return summaryText_; }

 private:
  void Fail(std::string_view message);
  // The row of record `index`; nothing when an open found another file than the first.
  std::optional<RecordRow> ReadRecordRow(std::int32_t index);
  bool SameFile(const std::optional<archive::FileIdentity>& opened) const {
    return opened.has_value() && opened == identity_;
  }
  void PutRow(const RecordRow& row) { view_.SetRecordRow(nextRow_++, row); }
  void PutEmptyRows(std::int32_t first, std::int32_t end);
  // Ends the table with one row for the records from `index` to `count`, which were not listed.
  void CutAt(std::int32_t index, std::int32_t count);
  std::string SizeText(std::int64_t bytes) const;

  archive::ArchiveReader& reader_;
  ListingView& view_;
  std::string archivePath_;
  std::string archiveName_;
  std::int32_t recordCount_ = 0;
  std::int32_t version_ = 0;
  ListingTotals totals_;
  bool showInKB_ = true;
  std::string summaryText_;
  std::int64_t nextRow_ = 0;
  std::optional<archive::FileIdentity> identity_;  // of the listing's first open
  bool changed_ = false;
  bool stopRequested_ = false;
  bool cut_ = false;
};

// Indexes [first, end) of the entries that lie wholly inside a file of `fileSize` bytes, among
// the `count` entries of a directory at `directoryOffset`; 0 <= first <= end <= max(count, 0).
struct IndexRange {
  std::int32_t first = 0;
  std::int32_t end = 0;
};
IndexRange EntriesInsideFile(std::int32_t directoryOffset, std::int32_t count,
                             std::int64_t fileSize);

}  // namespace lister
