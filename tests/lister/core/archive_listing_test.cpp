#include "archive_listing.h"

#include <gtest/gtest.h>

#include "archive_writer.h"
#include "recording_view.h"
#include "temp_dir.h"

namespace {

using archive::ArchiveImage;
using archive::HeaderFields;
using archive::RecordSpec;
using lister::RowCells;
using testing_support::RecordingView;
using testing_support::TempDir;

class ArchiveListingTest : public ::testing::Test {
 protected:
  void List(const std::string& path) {
    listing.SetArchivePath(path);
    listing.ListArchive();
  }
  std::string Write(const std::vector<RecordSpec>& records, const std::string& title = "Test",
                    const std::string& name = "TEST.SPR") {
    return dir.Write(name, archive::BuildArchive(title, 2, records));
  }
  // The summary's two size lines.
  std::vector<std::string> SizeLines() const {
    return {view.summaryLines.at(3), view.summaryLines.at(4)};
  }

  TempDir dir;
  archive::ArchiveReader reader;
  RecordingView view;
  lister::ArchiveListing listing{reader, view};
};

TEST_F(ArchiveListingTest, ListsStoredAndCompressedRecords) {
  List(Write({{"STORED.BIN", 0, 5000, 0, false, -1}, {"PACKED.SPR", 1, 3000, 10000, false, -1}},
             "Sprites", "hero.spr"));
  ASSERT_TRUE(view.errors.empty());
  ASSERT_EQ(view.rows.size(), 2u);
  EXPECT_EQ(view.rows[0], (RowCells{"0", "STORED.BIN", "no", "5000", "", ""}));
  EXPECT_EQ(view.rows[1], (RowCells{"1", "PACKED.SPR", "lzw", "3000", "10000", "70.0%"}));
  EXPECT_EQ(view.caption, "Trovanta (hero.spr)");
  EXPECT_EQ(view.summaryText, "Sprites\r2\r2\r15 KB \r8 KB (46.7% gained)");
  listing.SetShowInKB(false);
  EXPECT_EQ(view.summaryText, "Sprites\r2\r2\r15000 bytes \r8000 bytes (46.7% gained)");
}

TEST_F(ArchiveListingTest, EmptyArchiveInBothUnits) {
  List(Write({}, "Nothing here"));
  EXPECT_TRUE(view.rows.empty());
  EXPECT_EQ(view.summaryText, "Nothing here\r2\r0\r0 KB \r0 KB (not compressed)");
  listing.SetShowInKB(false);
  EXPECT_EQ(SizeLines(), (std::vector<std::string>{"0 bytes ", "0 bytes (not compressed)"}));
}

TEST_F(ArchiveListingTest, KilobytesRoundUp) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, "0 KB "}, {1, "1 KB "}, {1024, "1 KB "}, {1025, "2 KB "}};
  for (const auto& [size, text] : cases) {
    List(Write({{"ONE.BIN", 0, size, 0, false, 0}}));
    EXPECT_EQ(view.summaryLines.at(3), text) << size;
  }
}

TEST_F(ArchiveListingTest, MethodAndSizeDecideCompression) {
  List(Write({{"SEVEN.BIN", 7, 100, 400, false, -1},
              {"THREE.BIN", 3, 0, 0, false, -1},
              {"ONE.BIN", 1, 0, 0, false, -1},
              {"NEG.BIN", 1, -5, 0, false, 0}}));
  EXPECT_EQ(view.rows[0], (RowCells{"0", "SEVEN.BIN", "7", "100", "400", "75.0%"}));
  EXPECT_EQ(view.rows[1], (RowCells{"1", "THREE.BIN", "3", "0", "", ""}));
  EXPECT_EQ(view.rows[2], (RowCells{"2", "ONE.BIN", "lzw", "0", "", ""}));
  EXPECT_EQ(view.rows[3], (RowCells{"3", "NEG.BIN", "lzw", "-5", "", ""}));
  // 100 + 0 + 0 - 5 compressed against 400 + 0 + 0 - 5 uncompressed.
  listing.SetShowInKB(false);
  EXPECT_EQ(SizeLines(), (std::vector<std::string>{"395 bytes ", "95 bytes (76.0% gained)"}));
}

TEST_F(ArchiveListingTest, RatioColumnAtItsLimits) {
  struct Case {
    std::int32_t stored;
    std::int32_t length;
    const char* ratio;
  };
  const Case cases[] = {
      {3000, 2000, "   0%"},       {2001, 2000, "00.0%"},
      {1, 2000, " 100%"},          {1000, 2000, "50.0%"},
      {3000, 0, "   0%"},          {100, -1000, "10.0%"},
      {3000000, 9000000, "66.7%"}, {2147483647, 2147483647, "00.0%"},
  };
  for (const Case& c : cases) {
    List(Write({{"R.BIN", 1, c.stored, c.length, false, 4}}));
    EXPECT_EQ(view.rows.at(0)[5], c.ratio) << c.stored << "/" << c.length;
    EXPECT_EQ(view.rows.at(0)[4], std::to_string(c.length));
  }
}

TEST_F(ArchiveListingTest, LargeArchivesKeepTrueTotals) {
  // Two records of 1.5 GB each: the totals leave the 32-bit range.
  List(Write({{"BIG1.BIN", 1, 1500000000, 2000000000, false, 4},
              {"BIG2.BIN", 1, 1500000000, 2000000000, false, 4}}));
  EXPECT_EQ(listing.TotalUncompressed(), 4000000000);
  EXPECT_EQ(listing.TotalCompressed(), 3000000000);
  EXPECT_EQ(SizeLines(), (std::vector<std::string>{"3906250 KB ", "2929688 KB (25.0% gained)"}));
}

TEST_F(ArchiveListingTest, CompressedRecordWithoutReadableLength) {
  ArchiveImage image = archive::BuildArchive(
      "Broken", 1, {{"PAST.BIN", 1, 50, 0, false, 4}, {"OK.BIN", 0, 10, 0, false, -1}});
  // Point the first record's data past the end of the file, then before its start.
  const std::int32_t directory = archive::ReadI32(image.Bytes(), archive::kHeaderDirectoryOffset);
  for (const std::int32_t dataOffset : {2000000000, -40}) {
    image.PutI32(directory, dataOffset);
    List(dir.Write("broken.spr", image));
    EXPECT_EQ(view.rows.at(0), (RowCells{"0", "PAST.BIN", "lzw", "50", "unreadable", ""}));
    EXPECT_EQ(listing.TotalUncompressed(), 10);
    EXPECT_EQ(listing.TotalCompressed(), 60);
    EXPECT_EQ(view.summaryLines.at(4), "1 KB (   0% gained)");
  }
}

TEST_F(ArchiveListingTest, EmptySlotsAndUnreadableEntries) {
  ArchiveImage image = archive::BuildArchive(
      "Slots", 1, {{"GONE.SPR", 1, 77, 0, true, -1}, {"HERE.SPR", 0, 5, 0, false, -1}});
  // The header claims a third entry that the file does not hold.
  image.PutI32(archive::kHeaderRecordCountOffset, 3);
  List(dir.Write("slots.spr", image));
  ASSERT_EQ(view.rows.size(), 3u);
  EXPECT_EQ(view.rows[0], (RowCells{"0", "empty record", "", "", "", ""}));
  EXPECT_EQ(view.rows[1], (RowCells{"1", "HERE.SPR", "no", "5", "", ""}));
  EXPECT_EQ(view.rows[2], (RowCells{"2", "empty record", "", "", "", ""}));
  EXPECT_EQ(view.summaryLines.at(2), "3");
  EXPECT_EQ(listing.TotalCompressed(), 5);
}

TEST_F(ArchiveListingTest, NegativeCountListsNoRowsAndShowsTheCount) {
  ArchiveImage image;
  HeaderFields header;
  header.recordCount = -3;
  header.title = "Negative";
  image.PutHeader(header);
  List(dir.Write("neg.spr", image));
  EXPECT_TRUE(view.errors.empty());
  EXPECT_TRUE(view.rows.empty());
  EXPECT_EQ(view.summaryLines.at(2), "-3");
}

TEST_F(ArchiveListingTest, FailuresShowTheirMessageThenReset) {
  const std::string good = Write({{"A.BIN", 0, 1, 0, false, -1}}, "Good", "good.spr");
  const std::string directory = dir.File("folder.spr");
  std::filesystem::create_directory(directory);
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {"", "No file specified."},
      {dir.File("missing.spr"), "This file does not exist."},
      {directory, "This file does not exist."},
      {dir.WriteText("hero.spr", "not an archive"), "HERO.SPR is not a valid archive file."},
      {dir.WriteText("Mixed-Case_\xE9.map", std::string(82, '\0')),
       "MIXED-CASE_\xE9.MAP is not a valid archive file."},
  };
  for (const Case& c : cases) {
    List(good);
    view.errors.clear();
    List(c.path);
    EXPECT_EQ(view.errors, std::vector<std::string>{c.message});
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.summaryText, "Not an archive file");
    EXPECT_EQ(view.caption, "Trovanta (good.spr)") << "the caption names the last good archive";
    EXPECT_EQ(listing.ArchiveName(), "");
  }
  EXPECT_EQ(listing.RecordCount(), 0) << "an invalid archive leaves the count at 0";
}

TEST_F(ArchiveListingTest, NothingOfThePreviousListingSurvives) {
  List(Write({{"A0.BIN", 1, 10, 100, false, -1}, {"A1.BIN", 1, 20, 200, false, -1}}, "A", "a.spr"));
  List(Write({{"B0.BIN", 0, 30, 0, false, -1}, {"B1.BIN", 1, 0, 0, true, -1}}, "B", "b.spr"));
  EXPECT_EQ(view.rows[0], (RowCells{"0", "B0.BIN", "no", "30", "", ""}));
  EXPECT_EQ(view.rows[1], (RowCells{"1", "empty record", "", "", "", ""}));
  EXPECT_EQ(view.summaryText, "B\r2\r2\r1 KB \r1 KB (not compressed)");
}

TEST_F(ArchiveListingTest, ShowInKBChangesOnlyOnADifferentValue) {
  List(Write({{"A.BIN", 0, 1, 0, false, -1}}));
  const int before = view.summaries;
  listing.SetShowInKB(true);
  EXPECT_EQ(view.summaries, before);
  listing.SetShowInKB(false);
  listing.SetShowInKB(false);
  EXPECT_EQ(view.summaries, before + 1);
  EXPECT_FALSE(listing.ShowInKB());
}

TEST_F(ArchiveListingTest, TitleBytesPassUnchanged) {
  List(Write({}, "A&B\rC\xE9"));
  EXPECT_EQ(view.summaryLines.at(0), "A&B\rC\xE9");
  EXPECT_EQ(view.summaryLines.size(), 5u);
}

// Headers that claim far more entries than the file holds: every entry outside the file is an
// empty record, and runs of more than 1,000 of them become one row.
TEST_F(ArchiveListingTest, HostileHeadersListInBoundedRows) {
  struct Case {
    const char* what;
    std::int32_t count;
    std::int32_t directoryOffset;
    std::vector<RowCells> expected;
  };
  const std::vector<Case> cases = {
      {"huge count",
       2147483647,
       82,
       {{"0", "X.BIN", "no", "0", "", ""}, {"1", "2147483646 empty records", "", "", "", ""}}},
      // Entries 90909091 to 90909094 fall on the file's first bytes and are read as found.
      {"far negative directory",
       2147483647,
       -2000000000,
       {{"0", "90909091 empty records", "", "", "", ""},
        {"90909091", "rchive File ", "32", "1752396385", "unreadable", ""},
        {"90909092", std::string("\x88\x01\0\xFF\xFF\xFF\x7F\0\0\0\0\0", 12), "108", "1714485",
         "unreadable", ""},
        {"90909093", "empty record", "", "", "", ""},
        {"90909094", "empty record", "", "", "", ""},
        {"90909095", "2056574552 empty records", "", "", "", ""}}},
      {"run of exactly 1,000 stays row by row", 1001, 82, {}},
      {"run of 1,001 is one row",
       1002,
       82,
       {{"0", "X.BIN", "no", "0", "", ""}, {"1", "1001 empty records", "", "", "", ""}}},
  };
  for (const Case& c : cases) {
    ArchiveImage image;
    HeaderFields header;
    header.recordCount = c.count;
    header.directoryOffset = c.directoryOffset;
    image.PutHeader(header);
    image.PutEntry(archive::kHeaderSize, {82, 0, 0, "X.BIN", std::nullopt});
    List(dir.Write("hostile.spr", image));
    EXPECT_TRUE(view.errors.empty()) << c.what;
    EXPECT_EQ(view.summaryLines.at(2), std::to_string(c.count)) << c.what;
    if (c.expected.empty()) {
      ASSERT_EQ(view.rows.size(), 1001u) << c.what;
      EXPECT_EQ(view.rows[1000], (RowCells{"1000", "empty record", "", "", "", ""}));
    } else {
      EXPECT_EQ(view.rows, c.expected) << c.what;
    }
  }
}

TEST(EntriesInsideFileTest, KeepsOnlyWholeEntriesInsideTheFile) {
  struct Case {
    std::int32_t offset;
    std::int32_t count;
    std::int64_t fileSize;
    std::int64_t first;
    std::int64_t end;
  };
  const Case cases[] = {
      {82, 3, 82 + 66, 0, 3},
      {82, 3, 82 + 65, 0, 2},
      {82, 3, 82, 0, 0},
      {-22, 3, 82, 1, 3},
      {-23, 3, 82, 2, 3},
      {200, 3, 100, 0, 0},
      {82, -4, 1000, 0, 0},
      {0, 2147483647, 44, 0, 2},
      {-2147483647 - 1, 2147483647, 100, 97612894, 97612897},
      {-2147483647 - 1, 5, 100, 5, 5},
  };
  for (const Case& c : cases) {
    const lister::IndexRange range = lister::EntriesInsideFile(c.offset, c.count, c.fileSize);
    EXPECT_EQ(range.first, c.first) << c.offset << " " << c.count << " " << c.fileSize;
    EXPECT_EQ(range.end, c.end) << c.offset << " " << c.count << " " << c.fileSize;
  }
}

}  // namespace
