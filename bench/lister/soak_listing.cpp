// Memory soak: 10,000 listings in one process, alternating a good, a bad and a huge archive.
// Peak resident memory after all of them must stay within 1.10 times the peak after 100.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "bench/soak_memory.h"
#include "lister/core/archive_listing.h"
#include "lister/core/display_text.h"

namespace {

// Formats every row and summary line, as a view would, and counts the failures.
class FormattingView : public lister::ListingView {
 public:
  void ResizeTable(std::int64_t) override {}
  void SetRecordRow(std::int64_t, const lister::RecordRow& record) override {
    textBytes += lister::FormatRowUtf8(record)[1].size();
  }
  void SetCaption(const std::string& caption) override { textBytes += caption.size(); }
  void SetSummary(const lister::Summary& summary) override {
    textBytes += lister::SummaryLinesUtf8(summary).size();
  }
  void ShowError(const std::string&) override { ++failures; }

  std::size_t textBytes = 0;
  int failures = 0;
};

}  // namespace

int main() {
  constexpr int kListings = 10000;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("soak-listing-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::vector<archive::RecordSpec> records;
  for (int i = 0; i < 50; ++i) {
    records.push_back(
        {"R" + std::to_string(i), static_cast<std::uint8_t>(i % 2), 100 + i, 1000 + i, false, -1});
  }
  archive::ArchiveImage bad;
  bad.Resize(500);
  archive::ArchiveImage huge;
  archive::HeaderFields header;
  header.recordCount = 2147483647;
  huge.PutHeader(header);
  huge.Resize(2048);
  const std::string paths[] = {(dir / "good.spr").string(), (dir / "bad.spr").string(),
                               (dir / "huge.spr").string()};
  const bool written = archive::BuildArchive("Good", 1, records).WriteTo(paths[0]) &&
                       bad.WriteTo(paths[1]) && huge.WriteTo(paths[2]);

  archive::ArchiveReader reader;
  FormattingView view;
  lister::ArchiveListing listing(reader, view);
  long afterHundred = 0;
  for (int i = 0; written && i < kListings; ++i) {
    listing.SetArchivePath(paths[i % 3]);
    listing.ListArchive();
    listing.SetShowInKB(i % 2 == 0);
    if (i == 99) {
      afterHundred = bench::PeakRssKib();
    }
  }
  const long afterAll = bench::PeakRssKib();
  std::filesystem::remove_all(dir);
  if (!written || view.failures != kListings / 3) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(
        stderr, "soak-listing: %s\n",
        written ? "the bad archive did not fail every third listing" : "cannot write the archives");
    return 1;
  }
  return bench::ReportSoak("soak-listing (10,000 listings)", afterHundred, afterAll);
}
