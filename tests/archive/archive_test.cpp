#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <tuple>

#include "ansi_text.h"
#include "archive_reader.h"
#include "archive_writer.h"
#include "path_text.h"
#include "temp_dir.h"

namespace {

using archive::ArchiveImage;
using Status = archive::ReaderStatus;
constexpr Status kOk = Status::kNoError, kNoFile = Status::kCannotOpen,
                 kBad = Status::kNotAnArchive;

ArchiveImage TwoRecords() {
  return archive::BuildArchive(
      "Two records", 7, {{"FIRST.SPR", 0, 10, 0, false, -1}, {"SECOND.MAP", 1, 20, 99, false, -1}});
}

ArchiveImage Header(std::int32_t count, std::int32_t directoryOffset, std::uint16_t version = 1,
                    std::string title = "", std::optional<std::uint8_t> titleLength = {}) {
  ArchiveImage image;
  image.PutHeader(
      {std::string(archive::kSignature), directoryOffset, version, count, title, titleLength});
  return image;
}

ArchiveImage With(ArchiveImage image, const std::function<void(ArchiveImage&)>& change) {
  change(image);
  return image;
}

// Every operation closes the archive before it returns.
std::ptrdiff_t OpenFiles() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
}

class ArchiveReaderTest : public ::testing::Test {
 protected:
  std::string Put(const ArchiveImage& image) {
    return dir.Write("case" + std::to_string(++written) + ".spr", image);
  }
  int written = 0;
  testing_support::TempDir dir;
  archive::ArchiveReader reader;
  const std::string good = dir.Write("good.spr", TwoRecords());
};

TEST_F(ArchiveReaderTest, StartsWithItsInitialState) {
  EXPECT_EQ(reader.Status(), kOk);
  EXPECT_EQ(reader.Title(), "ARCHIVE OF UNDEFINED TYPE");
  EXPECT_EQ(reader.Version(), 0);
  EXPECT_EQ(reader.RecordName(), "DATA");
  EXPECT_EQ(reader.DataOffset() | reader.StoredSize() | reader.Method(), 0);
}

// A header that fails verification leaves the previous title and version.
TEST_F(ArchiveReaderTest, CountsRecordsOrKeepsThePreviousHeader) {
  struct Case {
    const char* what;
    std::string path;
    std::int32_t count;
    Status status;
    std::string title = "Two records";  // the previous header's
    std::uint16_t version = 7;
  };
  const auto signature = [](std::size_t at, std::uint8_t value) {
    return With(TwoRecords(), [=](ArchiveImage& image) { image.Bytes()[at] = value; });
  };
  const std::string readOnly = dir.Write("read-only.spr", TwoRecords());
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  // Permissions do not stop root from writing; an immutable file stops everybody.
  const bool immutable = std::system(("chattr +i '" + readOnly + "' 2>/dev/null").c_str()) == 0;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);  // reads as empty, never blocks
  const Case cases[] = {
      {"valid", good, 2, kOk},
      {"read-only", readOnly, 2, kOk},
      {"missing", dir.File("none.spr"), 0, kNoFile},
      {"no path", "", 0, kNoFile},
      {"fifo", dir.File("fifo"), 0, kBad},
      {"not an archive", dir.WriteText("text", std::string(100, 'x')), 0, kBad},
      {"end mark zero", Put(signature(30, 0x00)), 0, kBad},
      {"end mark 0x1B", Put(signature(30, 0x1B)), 0, kBad},
      {"lower-case letter", Put(signature(0, 'q')), 0, kBad},
      {"year", Put(signature(27, '6')), 0, kBad},
      {"zero count", Put(Header(0, 82, 0)), 0, kOk, "", 0},
      {"negative count", Put(Header(-5, 82, 65535)), -5, kOk, "", 65535},
      {"hostile fields", Put(Header(2147483647, -2000000000)), 2147483647, kOk, "", 1},
      {"title cut at 40", Put(Header(0, 82, 1, std::string(41, 'T'), 255)), 0, kOk,
       std::string(40, 'T'), 1},
      {"title by its length", Put(Header(0, 82, 1, "Short title", 5)), 0, kOk, "Short", 1}};
  for (const Case& c : cases) {
    reader.CountRecords(good);
    const std::ptrdiff_t openBefore = OpenFiles();
    EXPECT_EQ(reader.CountRecords(c.path), c.count) << c.what;
    EXPECT_EQ(OpenFiles(), openBefore) << c.what;
    EXPECT_EQ(reader.Status(), c.status) << c.what;
    EXPECT_EQ(reader.Title(), c.title) << c.what;
    EXPECT_EQ(reader.Version(), c.version) << c.what;
    EXPECT_EQ(reader.FileSize(),
              std::filesystem::is_regular_file(c.path) ? std::filesystem::file_size(c.path) : 0)
        << c.what;
  }
  EXPECT_EQ(reader.DirectoryOffset(), 82) << "the last header read, though it failed";
  EXPECT_TRUE(reader.ReadEntry(readOnly, 1));
  EXPECT_TRUE(!immutable || std::system(("chattr -i '" + readOnly + "'").c_str()) == 0);
}

TEST_F(ArchiveReaderTest, EveryTruncationOfTheHeaderIsNotAnArchive) {
  for (std::size_t length = 0; length <= archive::kHeaderSize; ++length) {
    const std::string path = dir.Write(
        "cut.spr", With(TwoRecords(), [&](ArchiveImage& image) { image.Resize(length); }));
    const bool whole = length == archive::kHeaderSize;
    EXPECT_EQ(reader.CountRecords(path), whole ? 2 : 0) << length;
    EXPECT_EQ(reader.Status(), whole ? kOk : kBad) << length;
  }
  // The header alone is a valid archive whose entries cannot be read.
  EXPECT_FALSE(reader.ReadEntry(dir.File("cut.spr"), 0));
  EXPECT_EQ(reader.Status(), kBad);
}

// The entry's bytes are kept as read even when a step fails; its name only when it was read.
TEST_F(ArchiveReaderTest, ReadsEntriesOrKeepsThePreviousName) {
  struct Case {
    const char* what;
    std::string path;
    std::int32_t index;
    bool read;
    Status status;
    std::string name;  // FIRST.SPR: the previous entry's
    std::int32_t dataOffset, storedSize, method;
  };
  const auto entryAt = [](std::int64_t at, archive::EntryFields fields) {
    return With(at == 82 ? Header(1, 82) : TwoRecords(),
                [=](ArchiveImage& i) { i.PutEntry(at, fields); });
  };
  const auto hostile = [](std::int32_t directoryOffset) {
    return With(Header(2147483647, directoryOffset), [](ArchiveImage& i) { i.Resize(110); });
  };
  const Case cases[] = {
      {"second", good, 1, true, kOk, "SECOND.MAP", 92, 20, 1},
      {"first", good, 0, true, kOk, "FIRST.SPR", 82, 10, 0},
      {"index at the count, bytes there", Put(entryAt(156, {500, 33, 2, "EXTRA", {}})), 2, false,
       kBad, "FIRST.SPR", 500, 33, 2},
      {"empty slot", Put(entryAt(82, {0, 1234, 1, "GHOST.SPR", {}})), 0, false, kOk, "GHOST.SPR", 0,
       1234, 1},
      {"name cut at 12", Put(entryAt(82, {82, 0, 0, "ABCDEFGHIJKLM", 200})), 0, true, kOk,
       "ABCDEFGHIJKL", 82, 0, 0},
      {"missing", dir.File("none.spr"), 0, false, kNoFile, "FIRST.SPR", 82, 10, 0},
      // Read at 60: title bytes.
      {"negative index", Put(hostile(82)), -1, false, kBad, "FIRST.SPR", 0, 0, 0},
      {"negative position", Put(hostile(-22)), 0, false, kBad, "FIRST.SPR", 82, 10, 0},
      {"far negative", Put(hostile(-2000000000)), 0, false, kBad, "FIRST.SPR", 82, 10, 0},
      // Ten bytes read, all zero.
      {"entry cut by the end", Put(hostile(100)), 0, false, kBad, "FIRST.SPR", 0, 0, 0},
      {"past the end", Put(hostile(2000000000)), 1, false, kBad, "FIRST.SPR", 82, 10, 0},
      {"beyond 32 bits", Put(hostile(2147483647)), 2147483646, false, kBad, "FIRST.SPR", 82, 10, 0},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(reader.ReadEntry(good, 0));
    const std::ptrdiff_t openBefore = OpenFiles();
    EXPECT_EQ(reader.ReadEntry(c.path, c.index), c.read) << c.what;
    EXPECT_EQ(OpenFiles(), openBefore) << c.what;
    EXPECT_EQ(reader.Status(), c.status) << c.what;
    EXPECT_EQ(reader.RecordName(), c.name) << c.what;
    EXPECT_EQ(reader.DataOffset(), c.dataOffset) << c.what;
    EXPECT_EQ(reader.StoredSize(), c.storedSize) << c.what;
    EXPECT_EQ(reader.Method(), c.method) << c.what;
  }
}

TEST_F(ArchiveReaderTest, UncompressedLengthNeedsAllFourBytes) {
  const ArchiveImage image = With(TwoRecords(), [](ArchiveImage& i) { i.PutI32(154, -7); });
  const std::string path = dir.Write("length.spr", image);  // 158 bytes
  const std::pair<std::int32_t, std::optional<std::int32_t>> cases[] = {
      {92, 99}, {154, -7}, {155, std::nullopt}, {-1, std::nullopt}};
  for (const auto& [offset, length] : cases) {
    EXPECT_EQ(archive::ReadUncompressedLength(path, offset), length) << offset;
  }
  EXPECT_EQ(archive::ReadUncompressedLength(dir.File("missing"), 0), std::nullopt);
}

TEST(PathTextTest, SplitPathAtTheLastDelimiter) {
  struct Case {
    std::string path, directory, baseName, extension;
  };
  const Case cases[] = {
      {"C:\\GAMES\\DATA\\HERO.SPR", "C:\\GAMES\\DATA\\", "HERO", ".SPR"},
      {"D:HERO", "D:", "HERO", ""},
      {"a.b\\c", "a.b\\", "c", ""},
      {"/home/ann/data/hero.spr", "/home/ann/data/", "hero", ".spr"},
      {"C:/GAMES/HERO.SPR", "C:/GAMES/", "HERO", ".SPR"},
      {"archive.tar.gz", "", "archive.tar", ".gz"},
      {".hidden", "", "", ".hidden"},
      {"dir\\", "dir\\", "", ""},
      {"", "", "", ""},
      // The name is cut at 255 characters before its extension is looked for.
      {"C:\\" + std::string(300, 'n') + ".spr", "C:\\", std::string(255, 'n'), ""},
      {std::string(250, 'n') + ".spr.x", "", std::string(250, 'n') + ".spr", "."},
  };
  for (const Case& c : cases) {
    const archive::PathParts parts = archive::SplitPath(c.path);
    EXPECT_EQ(parts.directory, c.directory) << c.path;
    EXPECT_EQ(parts.baseName, c.baseName) << c.path;
    EXPECT_EQ(parts.extension, c.extension) << c.path;
  }
}

TEST(PathTextTest, ZeroPaddedGivesTheLowestDigits) {
  const std::tuple<std::int64_t, int, const char*> cases[] = {{5, 3, "005"},
                                                              {456, 3, "456"},
                                                              {1500, 3, "500"},
                                                              {0, 3, "000"},
                                                              {999, 3, "999"},
                                                              {42, 10, "1000000042"},
                                                              {7, 1, "7"},
                                                              {0, 0, ""},
                                                              {-5, 3, "995"},
                                                              {0, 12, "001000000000"},
                                                              {INT64_MAX, 4, "5807"},
                                                              {INT64_MIN, 3, "808"},
                                                              {2000000000, 3, "000"}};
  for (const auto& [value, digits, text] : cases) {
    EXPECT_EQ(archive::ZeroPadded(value, digits), text) << value << "/" << digits;
  }
}

TEST(AnsiTextTest, ConvertsWindows1252) {
  const std::pair<std::string, std::string> cases[] = {
      {"PLAIN.SPR", "PLAIN.SPR"},
      {"CAF\xC9", "CAF\xC3\x89"},
      {"\x80\x99", "\xE2\x82\xAC\xE2\x84\xA2"},
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
      {"\x9F\xFF\xA0", "\xC5\xB8\xC3\xBF\xC2\xA0"},
      {std::string("A\0B\x7F", 4), std::string("A\0B\x7F", 4)},
  };
  for (const auto& [ansi, utf8] : cases) {
    EXPECT_EQ(archive::AnsiToUtf8(ansi), utf8) << ansi;
  }
}

}  // namespace
