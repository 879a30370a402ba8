// The listing of one archive into the record table and the summary, through the archive reader.
// The program keeps one listing for its whole run; each ListArchive runs to completion.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "archive_reader.h"
#include "listing_view.h"

namespace lister {

// Runs of entries that cannot lie inside the file longer than this show as one row.
inline constexpr std::int64_t kMaxEmptyRunRows = 1000;

class ArchiveListing {
 public:
  ArchiveListing(archive::ArchiveReader& reader, ListingView& view)
      : reader_(reader), view_(view) {}

  void SetArchivePath(std::string path) { archivePath_ = std::move(path); }
  const std::string& ArchivePath() const { return archivePath_; }

  // Lists the archive at the archive path; on failure shows the message, then resets.
  void ListArchive();
  void RefreshSummary();
  void ResetListing();
  void SetShowInKB(bool flag);

  const std::string& ArchiveName() const { return archiveName_; }
  std::int32_t RecordCount() const { return recordCount_; }
  std::int64_t TotalUncompressed() const { return totalUncompressed_; }
  std::int64_t TotalCompressed() const { return totalCompressed_; }
  bool AnyCompressed() const { return anyCompressed_; }
  bool ShowInKB() const { return showInKB_; }
  const std::string& SummaryText() const { return summaryText_; }

 private:
  void Fail(const std::string& message);
  void ListRecords(std::int64_t& row);
  RecordRow ReadRecordRow(std::int32_t index, std::int64_t& uncompressed, std::int64_t& compressed,
                          bool& any);
  void PutEmptyRows(std::int64_t& row, std::int32_t first, std::int32_t end);
  std::string SizeText(std::int64_t bytes) const;
  std::string UnitText() const;

  archive::ArchiveReader& reader_;
  ListingView& view_;
  std::string archivePath_;
  std::string archiveName_;
  std::int32_t recordCount_ = 0;
  std::int32_t version_ = 0;
  // Sums are formed in 64 bits so that archives above 2 GB of content show true totals.
  std::int64_t totalUncompressed_ = 0;
  std::int64_t totalCompressed_ = 0;
  bool anyCompressed_ = false;
  bool showInKB_ = true;
  std::string summaryText_;
};

// Indexes [first, end) of the entries that lie wholly inside a file of `fileSize` bytes, among
// the `count` entries of a directory at `directoryOffset`.
struct IndexRange {
  std::int64_t first = 0;
  std::int64_t end = 0;
};
IndexRange EntriesInsideFile(std::int32_t directoryOffset, std::int32_t count,
                             std::int64_t fileSize);

}  // namespace lister
