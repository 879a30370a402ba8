// The listing over a view that records what it is given.
#include <gtest/gtest.h>

#include "archive/archive_writer.h"
#include "lister/core/archive_listing.h"
#include "tests/support/temp_dir.h"

namespace {

using archive::ArchiveImage;

// Keeps what the listing gives it: a row's cells and the summary's lines with "|" between them.
struct RecordingView : lister::ListingView {
  void ResizeTable(std::int64_t recordRows) override { rows.assign(recordRows, ""); }
  void SetRecordRow(std::int64_t row, const lister::RecordRow& record) override {
    rows.at(row) = lister::Join(lister::FormatRow(record), "|");
    afterRow(row);
  }
  void CutTable(std::int64_t recordRows) override { rows.resize(recordRows); }
  void SetCaption(const std::string& text) override { caption = text; }
  void SetSummary(const lister::Summary& summary) override {
    lines = lister::Join(summary.lines, "|");
    listed = summary.listed;
    ++summaries;
  }
  void ShowError(const std::string& message) override { errors.push_back(message); }

  std::vector<std::string> rows, errors;
  std::string caption = "Trovanta", lines;
  bool listed = false;
  int summaries = 0;
  std::function<void(std::int64_t)> afterRow = [](std::int64_t) {};
};

class ListingTest : public ::testing::Test {
 protected:
  ListingTest() { listing.SetShowInKB(false); }
  void List(const std::string& path) {
    listing.SetArchivePath(path);
    listing.ListArchive();
  }
  std::string Put(const ArchiveImage& image) {
    return dir.Write("test" + std::to_string(++written) + ".spr", image);
  }
  std::string Put(const std::vector<archive::RecordSpec>& records,
                  const std::string& title = "Test") {
    return Put(archive::BuildArchive(title, 2, records));
  }
  // A header with one entry at 82, stored, empty, named X.BIN.
  std::string Hostile(std::int32_t count, std::int32_t directoryOffset) {
    ArchiveImage image;
    image.PutHeader({std::string(archive::kSignature), directoryOffset, 1, count, "", {}});
    image.PutEntry(archive::kHeaderSize, {82, 0, 0, "X.BIN", {}});
    return Put(image);
  }

  testing_support::TempDir dir;
  int written = 0;
  archive::ArchiveReader reader;
  RecordingView view;
  lister::ArchiveListing listing{reader, view};
};

// Listed one after the other by one listing, so nothing of the previous listing may survive.
TEST_F(ListingTest, ListsRowsAndSummary) {
  // clang-format off
  const std::vector<archive::RecordSpec> records = {
      {"SEVEN", 7, 100, 400}, {"THREE", 3, 0}, {"ONE", 1, 0}, {"NEG", 1, -5, 0, false, 0},
      {"GONE", 1, 77, 0, true}, {"OK", 0, 10}, {"PAST", 1, 50, 0, false, 4}};
  // clang-format on
  ArchiveImage odd = archive::BuildArchive("Odd", 2, records);
  odd.PutI32(odd.Bytes().size() - 22, 2000000000);   // PAST's length lies past the end
  odd.PutI32(archive::kHeaderRecordCountOffset, 8);  // an entry the file does not hold
  std::vector<std::string> thousand = {"0|X.BIN|no|0||"};
  for (int i = 1; i <= 1000; ++i) {
    thousand.push_back(std::to_string(i) + "|empty record||||");
  }
  const std::string none = "0 bytes |0 bytes (not compressed)";
  // The archive, its rows, its summary in bytes, and the summary's end in KB where checked.
  const std::tuple<std::string, std::vector<std::string>, std::string, std::string> cases[] = {
      // Stored and compressed.
      {Put({{"STORED.BIN", 0, 5000}, {"PACKED.SPR", 1, 3000, 10000}}, "Sprites"),
       {"0|STORED.BIN|no|5000||", "1|PACKED.SPR|lzw|3000|10000|70.0%"},
       "Sprites|2|2|15000 bytes |8000 bytes (46.7% gained)",
       "|15 KB |8 KB (46.7% gained)"},
      {Put({}, "Nothing here"), {}, "Nothing here|2|0|" + none, "|0 KB |0 KB (not compressed)"},
      // KB round up.
      {Put({{"A", 0, 1024}, {"B", 1, 1, 0, false, 4}}),
       {"0|A|no|1024||", "1|B|lzw|1|0|   0%"},
       "Test|2|2|1024 bytes |1025 bytes (00.0% gained)",
       "|1 KB |2 KB (00.0% gained)"},
      // Method, size, empty slot, unreadable length and entry.
      {Put(odd),
       {"0|SEVEN|7|100|400|75.0%", "1|THREE|3|0||", "2|ONE|lzw|0||", "3|NEG|lzw|-5||",
        "4|empty record||||", "5|OK|no|10||", "6|PAST|lzw|50|unreadable|", "7|empty record||||"},
       "Odd|2|8|405 bytes |155 bytes (61.8% gained)",
       ""},
      // Ratios and totals beyond 32 bits.
      {Put({{"E", 1, 3000, 2000, false, 4},
            {"C", 1, 1, 2000, false, 4},
            {"F", 1, 100, -1000, false, 4},
            {"H", 1, 2147483647, 2147483647, false, 4}}),
       {"0|E|lzw|3000|2000|   0%", "1|C|lzw|1|2000| 100%", "2|F|lzw|100|-1000|10.0%",
        "3|H|lzw|2147483647|2147483647|00.0%"},
       "Test|2|4|2147486647 bytes |2147486748 bytes (00.0% gained)",
       "|2097155 KB |2097156 KB (00.0% gained)"},
      {Hostile(-3, 82), {}, "|1|-3|" + none, ""},
      // A far negative directory: entries 90909091 to 90909094 fall on the file's first bytes
      // and are read as found.
      {Hostile(2147483647, -2000000000),
       {"0|90909091 empty records||||", "90909091|rchive File |32|1752396385|unreadable|",
        std::string("90909092|\x88\x01\0\xFF\xFF\xFF\x7F\0\0\0\0\0|108|1714485|unreadable|", 45),
        "90909093|empty record||||", "90909094|empty record||||",
        "90909095|2056574552 empty records||||"},
       "|1|2147483647|0 bytes |1754110870 bytes (   0% gained)",
       "|0 KB |1712999 KB (   0% gained)"},
      // A run of 1,000 stays row by row, one of 1,001 is one row.
      {Hostile(1001, 82), thousand, "|1|1001|" + none, ""},
      {Hostile(1002, 82), {"0|X.BIN|no|0||", "1|1001 empty records||||"}, "|1|1002|" + none, ""}};
  for (const auto& [path, rows, summary, inKB] : cases) {
    List(path);
    const std::string caption = "Trovanta (" + path.substr(path.rfind('/') + 1) + ")";
    EXPECT_EQ((std::tuple{view.errors.empty(), view.rows, view.caption, view.listed, view.lines}),
              (std::tuple{true, rows, caption, true, summary}))
        << path;
    listing.SetShowInKB(true);
    EXPECT_TRUE(view.lines.ends_with(inKB)) << path << ": " << view.lines;
    listing.SetShowInKB(false);
  }
  EXPECT_EQ(listing.SummaryText(), "\r1\r1002\r0 bytes \r0 bytes (not compressed)");
}

// A failure shows its message, then empties the table and the summary; the caption still names
// the last archive listed.
TEST_F(ListingTest, FailuresShowTheirMessageThenReset) {
  const std::string good = Put({{"A", 0, 1}}, "Good");
  const std::pair<std::string, std::string> cases[] = {
      {"", "No file specified."},
      {dir.File("missing.spr"), "This file does not exist."},
      {dir.Path().string(), "This file does not exist."},  // a folder
      {dir.WriteText("Mixed-Case_\xE9{z}.map", std::string(82, '\0')),
       "MIXED-CASE_\xE9{Z}.MAP is not a valid archive file."}};
  for (const auto& [path, message] : cases) {
    List(good);
    view.errors.clear();
    List(path);
    EXPECT_EQ((std::tuple{view.errors, view.rows.size(), view.lines, view.listed,
                          listing.SummaryText(), view.caption, listing.ArchiveName()}),
              (std::tuple{std::vector<std::string>{message}, 0u, "Not an archive file", false,
                          "Not an archive file", "Trovanta (test1.spr)", ""}));
  }
  EXPECT_EQ(listing.RecordCount(), 0) << "an invalid archive leaves the count at 0";
  // Only a different unit refreshes the summary.
  const int before = view.summaries;
  listing.SetShowInKB(true);
  listing.SetShowInKB(true);
  EXPECT_EQ((std::pair{listing.ShowInKB(), view.summaries}), (std::pair{true, before + 1}));
}

// The archive is truncated, deleted or rewritten in place once row 1 is filled: the rows read
// stay, one row stands for the rest, the summary sums the rows read, and the message is shown.
TEST_F(ListingTest, StopsWhereTheArchiveChanged) {
  namespace fs = std::filesystem;
  const std::function<void(const std::string&)> changes[] = {
      [](const std::string& path) { fs::resize_file(path, 200); },
      [](const std::string& path) { fs::remove(path); },
      [](const std::string& path) { fs::last_write_time(path, {}); }};  // the clock's epoch
  for (const auto& change : changes) {
    const std::string path = Put({{"A", 0, 10}, {"B", 1, 20, 300}, {"C", 0, 30}, {"D", 0, 40}});
    view.afterRow = [&](std::int64_t row) { row == 1 ? change(path) : void(); };
    view.errors.clear();
    List(path);
    EXPECT_EQ(lister::Join(view.rows, "/") + "/" + view.lines + "/" + lister::Join(view.errors, ""),
              "0|A|no|10||/1|B|lzw|20|300|93.4%/2|2 records not listed||||/Test|2|4|310 bytes |30 "
              "bytes (90.4% gained)/TEST" +
                  std::to_string(written) + ".SPR changed while it was listed.");
  }
}

TEST(ListingTextsTest, EntriesInsideFileAndPermille) {
  // Directory offset, count, file size; then the first and the end index inside the file.
  using Range = std::tuple<std::int32_t, std::int32_t, std::int64_t, std::int32_t, std::int32_t>;
  const Range ranges[] = {{82, 3, 148, 0, 3},
                          {82, 3, 147, 0, 2},
                          {-22, 3, 82, 1, 3},
                          {-23, 3, 82, 2, 3},
                          {200, 3, 100, 0, 0},
                          {82, -4, 1000, 0, 0},
                          {0, 2147483647, 44, 0, 2},
                          {INT32_MIN, 5, 100, 5, 5},
                          {INT32_MIN, 2147483647, 100, 97612894, 97612897}};
  for (const auto& [offset, count, fileSize, first, end] : ranges) {
    const lister::IndexRange range = lister::EntriesInsideFile(offset, count, fileSize);
    EXPECT_EQ(std::pair(range.first, range.end), std::pair(first, end)) << offset << "/" << count;
  }
  constexpr std::int64_t k4 = 4'000'000'000'000'000'000, k9 = 9'000'000'000'000'000'000,
                         k1 = 1'000'000'000'000'000'000;
  const std::tuple<std::int64_t, std::int64_t, std::int64_t> saved[] = {
      {8000, 15000, 467}, {3000, 2000, -500}, {0, 5, 1000}, {5, 0, -1},
      {-7, 2, 4500},      {k4, k4, 0},        {k9, -1, k1}, {k9, 1, -k1}};
  for (const auto& [compressed, uncompressed, expected] : saved) {
    EXPECT_EQ(lister::SavedPermille(compressed, uncompressed), expected) << compressed;
  }
  // Far out of range the lowest digits still match the exact value's. Other ratios are shown by
  // the listing's rows.
  EXPECT_EQ(lister::FormatPermille(lister::SavedPermille(k9, -7)), "28.5");
}

}  // namespace
