// Many listings in one process, alternating good, bad and huge archives: memory must not grow
// with the number of listings.
#include <gtest/gtest.h>

#include <fstream>

#include "archive_listing.h"
#include "archive_writer.h"
#include "recording_view.h"
#include "temp_dir.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Resident memory in KiB, from the kernel's account of this process.
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::stol(line.substr(6));
    }
  }
  return -1;
}

TEST(RepetitionTest, TenThousandListingsKeepMemoryFlat) {
  testing_support::TempDir dir;
  std::vector<archive::RecordSpec> records;
  for (int i = 0; i < 50; ++i) {
    records.push_back(
        {"R" + std::to_string(i), static_cast<std::uint8_t>(i % 2), 100 + i, 1000 + i, false, -1});
  }
  archive::ArchiveImage huge;
  archive::HeaderFields header;
  header.recordCount = 2147483647;
  huge.PutHeader(header);
  huge.Resize(2048);
  const std::string paths[] = {
      dir.Write("good.spr", archive::BuildArchive("Good", 1, records)),
      dir.WriteText("bad.spr", std::string(500, 'b')),
      dir.Write("huge.spr", huge),
  };
  archive::ArchiveReader reader;
  testing_support::RecordingView view;
  lister::ArchiveListing listing(reader, view);
  long afterHundred = 0;
  std::size_t failures = 0;
  for (int i = 0; i < 10000; ++i) {
    listing.SetArchivePath(paths[i % 3]);
    listing.ListArchive();
    listing.SetShowInKB(i % 2 == 0);
    failures += view.errors.size();
    view.errors.clear();
    if (i == 99) {
      afterHundred = ResidentKiB();
    }
  }
  EXPECT_EQ(failures, 3333u);
  const long atEnd = ResidentKiB();
  RecordProperty("rss_after_100_kib", std::to_string(afterHundred));
  RecordProperty("rss_after_10000_kib", std::to_string(atEnd));
  if (kSanitized) {
    GTEST_SKIP() << "the sanitizer's quarantine holds freed memory; LeakSanitizer checks leaks";
  }
  EXPECT_LE(atEnd, afterHundred + afterHundred / 10)
      << "RSS after 100 listings " << afterHundred << " KiB, after 10000 " << atEnd << " KiB";
}

}  // namespace
