// Arbitrary bytes as an archive: the reader's operations and a whole listing, in KB and in
// bytes, must never crash, read outside the file or take time beyond the file's size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/memory_file.h"
#include "lister/core/archive_listing.h"
#include "lister/core/display_text.h"

namespace {

// Checks every text that a view would be given, so that formatting runs for each row.
class CheckingView : public lister::ListingView {
 public:
  void ResizeTable(std::int64_t recordRows) override {
    if (recordRows < 0 || recordRows > kMaxRows) {
      std::abort();
    }
    rows_ = recordRows;
    filled_ = 0;
  }
  void SetRecordRow(std::int64_t row, const lister::RecordRow& record) override {
    if (row != filled_++ || row >= rows_) {
      std::abort();
    }
    for (const std::string& cell : lister::FormatRowUtf8(record)) {
      textBytes_ += cell.size();
    }
  }
  void SetCaption(const std::string& caption) override { textBytes_ += caption.size(); }
  void SetSummary(const lister::Summary& summary) override {
    if (summary.lines.size() != 1 && summary.lines.size() != lister::kSummaryLineCount) {
      std::abort();
    }
    for (const std::string& line : lister::SummaryLinesUtf8(summary)) {
      textBytes_ += line.size();
    }
  }
  void ShowError(const std::string& message) override { textBytes_ += message.size(); }

 private:
  // Rows are bounded by what the file can hold plus two collapsed runs, and runs of at most
  // 1,000 single rows at either end.
  static constexpr std::int64_t kMaxRows = 1 << 20;
  std::int64_t rows_ = 0;
  std::int64_t filled_ = 0;
  std::size_t textBytes_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzzing::MemoryFile file;
  if (!file.Set(data, size)) {
    return 0;
  }
  archive::ArchiveReader reader;
  const std::int32_t count = reader.CountRecords(file.Path());
  const std::int32_t last = count > INT32_MIN ? count - 1 : count;
  for (std::int32_t index : {0, 1, last, count, -1}) {
    if (reader.ReadEntry(file.Path(), index)) {
      archive::ReadUncompressedLength(file.Path(), reader.DataOffset());  // any outcome will do
    }
  }
  CheckingView view;
  lister::ArchiveListing listing(reader, view);
  listing.SetArchivePath(file.Path());
  listing.ListArchive();
  listing.SetShowInKB(false);
  return 0;
}
