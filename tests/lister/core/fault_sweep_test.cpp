// Damaged archives of every kind: each must list, or fail with the lister's message, and never
// give more rows than the file can hold plus two collapsed runs.
#include <gtest/gtest.h>

#include <random>

#include "archive_listing.h"
#include "archive_writer.h"
#include "recording_view.h"
#include "temp_dir.h"

namespace {

using archive::ArchiveImage;
using testing_support::RecordingView;
using testing_support::TempDir;

ArchiveImage SweepArchive() {
  return archive::BuildArchive("Sweep", 4,
                               {{"STORED.BIN", 0, 40, 0, false, -1},
                                {"PACKED.SPR", 1, 24, 90, false, -1},
                                {"GONE.SPR", 1, 0, 0, true, -1},
                                {"ODD.TIL", 9, 12, 7, false, -1}});
}

class FaultSweepTest : public ::testing::Test {
 protected:
  // Lists `image` and checks that the outcome is one a user can be shown.
  void ListAndCheck(const ArchiveImage& image, const std::string& what) {
    const std::string path = dir.Write("sweep.spr", image);
    RecordingView view;
    lister::ArchiveListing listing(reader, view);
    listing.SetArchivePath(path);
    listing.ListArchive();
    const auto size = static_cast<std::int64_t>(image.Bytes().size());
    if (!view.errors.empty()) {
      ASSERT_EQ(view.errors, std::vector<std::string>{"SWEEP.SPR is not a valid archive file."})
          << what;
      ASSERT_TRUE(view.rows.empty()) << what;
      ASSERT_EQ(view.summaryText, "Not an archive file") << what;
      return;
    }
    const std::int64_t bound =
        size / static_cast<std::int64_t>(archive::kEntrySize) + 2 * lister::kMaxEmptyRunRows;
    ASSERT_LE(static_cast<std::int64_t>(view.rows.size()), bound) << what;
    ASSERT_EQ(view.summaryLines.size(), lister::kSummaryLineCount) << what;
    listing.SetShowInKB(false);
    ASSERT_EQ(view.summaryLines.size(), lister::kSummaryLineCount) << what;
  }

  TempDir dir;
  archive::ArchiveReader reader;
};

TEST_F(FaultSweepTest, ArchiveCutAtEveryLength) {
  const ArchiveImage whole = SweepArchive();
  for (std::size_t length = 0; length <= whole.Bytes().size(); ++length) {
    ArchiveImage cut = whole;
    cut.Resize(length);
    ListAndCheck(cut, "cut at " + std::to_string(length));
  }
}

TEST_F(FaultSweepTest, EveryHeaderAndEntryByteSetToExtremes) {
  const ArchiveImage whole = SweepArchive();
  const std::int32_t directory = archive::ReadI32(whole.Bytes(), archive::kHeaderDirectoryOffset);
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < archive::kHeaderSize; ++i) {
    positions.push_back(i);
  }
  for (std::size_t i = 0; i < 2 * archive::kEntrySize; ++i) {
    positions.push_back(static_cast<std::size_t>(directory) + i);
  }
  for (const std::size_t position : positions) {
    for (const std::uint8_t value : {0x00, 0x7F, 0x80, 0xFF}) {
      ArchiveImage changed = whole;
      changed.Bytes()[position] = value;
      ListAndCheck(changed, "byte " + std::to_string(position) + " = " + std::to_string(value));
    }
  }
}

TEST_F(FaultSweepTest, RandomCorruptionOfOnePercent) {
  const ArchiveImage whole = SweepArchive();
  std::mt19937 random(20261206);  // fixed, so that a failure can be repeated
  const std::size_t size = whole.Bytes().size();
  std::uniform_int_distribution<std::size_t> anyPosition(0, size - 1);
  std::uniform_int_distribution<int> anyByte(0, 255);
  for (int round = 0; round < 1000; ++round) {
    ArchiveImage changed = whole;
    for (std::size_t n = 0; n < std::max<std::size_t>(1, size / 100); ++n) {
      changed.Bytes()[anyPosition(random)] = static_cast<std::uint8_t>(anyByte(random));
    }
    ListAndCheck(changed, "round " + std::to_string(round));
  }
}

}  // namespace
