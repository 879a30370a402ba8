#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
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

// The directory is at 112, the second record's data at 92.
ArchiveImage TwoRecords(const std::function<void(ArchiveImage&)>& change = {}) {
  ArchiveImage image = archive::BuildArchive(
      "Two records", 7, {{"FIRST.SPR", 0, 10, 0, false, -1}, {"SECOND.MAP", 1, 20, 99, false, -1}});
  if (change) {
    change(image);
  }
  return image;
}

ArchiveImage Header(std::int32_t count, std::int32_t directoryOffset, std::string title = "",
                    std::optional<std::uint8_t> titleLength = {}, std::uint16_t version = 1) {
  ArchiveImage image;
  image.PutHeader(
      {std::string(archive::kSignature), directoryOffset, version, count, title, titleLength});
  image.Resize(110);
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
  const std::string readOnly = dir.Write("read-only.spr", TwoRecords());
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  // Permissions do not stop root from writing; an immutable file stops everybody.
  const bool immutable = std::system(("chattr +i '" + readOnly + "' 2>/dev/null").c_str()) == 0;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);  // reads as empty, never blocks
  const Case cases[] = {
      {"read-only", readOnly, 2, kOk},
      {"missing", dir.File("none.spr"), 0, kNoFile},
      {"no path", "", 0, kNoFile},
      {"fifo", dir.File("fifo"), 0, kBad},
      {"first signature byte", Put(TwoRecords([](ArchiveImage& i) { i.Bytes()[0] = 'q'; })), 0,
       kBad},
      {"end mark", Put(TwoRecords([](ArchiveImage& i) { i.Bytes()[30] = 0x1B; })), 0, kBad},
      {"hostile fields", Put(Header(-5, -2000000000, "", {}, 65535)), -5, kOk, "", 65535},
      {"title cut at 40", Put(Header(2147483647, 82, std::string(41, 'T'), 255)), 2147483647, kOk,
       std::string(40, 'T'), 1},
      {"title by its length", Put(Header(0, 82, "Short title", 5)), 0, kOk, "Short", 1}};
  for (const Case& c : cases) {
    reader.CountRecords(good);
    const std::ptrdiff_t openBefore = OpenFiles();
    EXPECT_EQ(reader.CountRecords(c.path), c.count) << c.what;
    EXPECT_EQ(OpenFiles(), openBefore) << c.what;
    EXPECT_EQ(reader.Status(), c.status) << c.what;
    EXPECT_EQ(reader.Title(), c.title) << c.what;
    EXPECT_EQ(reader.Version(), c.version) << c.what;
    const bool file = std::filesystem::is_regular_file(c.path);
    EXPECT_EQ(reader.FileSize(), file ? std::filesystem::file_size(c.path) : 0) << c.what;
  }
  EXPECT_EQ(reader.DirectoryOffset(), 82) << "the last header read, though it failed";
  EXPECT_TRUE(reader.ReadEntry(readOnly, 1));
  EXPECT_TRUE(!immutable || std::system(("chattr -i '" + readOnly + "'").c_str()) == 0);
}

TEST_F(ArchiveReaderTest, EveryTruncationOfTheHeaderIsNotAnArchive) {
  for (std::size_t length = 0; length <= archive::kHeaderSize; ++length) {
    const std::string path =
        dir.Write("cut.spr", TwoRecords([&](ArchiveImage& i) { i.Resize(length); }));
    const bool whole = length == archive::kHeaderSize;
    EXPECT_EQ(reader.CountRecords(path), whole ? 2 : 0) << length;
    EXPECT_EQ(reader.Status(), whole ? kOk : kBad) << length;
  }
  // The header alone is a valid archive whose entries cannot be read.
  EXPECT_FALSE(reader.ReadEntry(dir.File("cut.spr"), 0));
  EXPECT_EQ(reader.Status(), kBad);
}

// The entry's bytes stay as read even when a step fails; its name is taken only when it was read.
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
  const auto entry = [](archive::EntryFields fields) {
    ArchiveImage image = Header(1, 82);
    image.PutEntry(82, fields);
    return image;
  };
  const Case cases[] = {
      {"second", good, 1, true, kOk, "SECOND.MAP", 92, 20, 1},
      {"index at the count, bytes there", Put(TwoRecords([](ArchiveImage& i) {
         i.PutEntry(156, {500, 33, 2, "EXTRA", {}});
       })),
       2, false, kBad, "FIRST.SPR", 500, 33, 2},
      {"empty slot", Put(entry({0, 1234, 1, "GHOST.SPR", {}})), 0, false, kOk, "GHOST.SPR", 0, 1234,
       1},
      {"name cut at 12", Put(entry({82, 0, 0, "ABCDEFGHIJKLM", 200})), 0, true, kOk, "ABCDEFGHIJKL",
       82, 0, 0},
      {"missing", dir.File("none.spr"), 0, false, kNoFile, "FIRST.SPR", 82, 10, 0},
      {"negative index: title bytes", Put(Header(9, 82)), -1, false, kBad, "FIRST.SPR", 0, 0, 0},
      {"negative position", Put(Header(9, -22)), 0, false, kBad, "FIRST.SPR", 82, 10, 0},
      {"entry cut by the end: ten zeros", Put(Header(9, 100)), 0, false, kBad, "FIRST.SPR", 0, 0,
       0},
      {"beyond 32 bits", Put(Header(2147483647, 2147483647)), 2147483646, false, kBad, "FIRST.SPR",
       82, 10, 0}};
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
  const std::string length = Put(TwoRecords([](ArchiveImage& i) { i.PutI32(154, -7); }));
  const std::pair<std::int32_t, std::optional<std::int32_t>> lengths[] = {
      {92, 99}, {154, -7}, {155, std::nullopt}, {-1, std::nullopt}};  // the file has 158 bytes
  for (const auto& [offset, expected] : lengths) {
    EXPECT_EQ(archive::ReadUncompressedLength(length, offset), expected) << offset;
  }
  EXPECT_EQ(archive::ReadUncompressedLength(dir.File("none"), 0), std::nullopt);
}

TEST(TextTest, SplitPathZeroPaddedAndAnsiToUtf8) {
  const std::string longName = std::string(250, 'n');
  const std::tuple<std::string, std::string, std::string, std::string> paths[] = {
      {"C:\\GAMES\\HERO.SPR", "C:\\GAMES\\", "HERO", ".SPR"},
      {"D:HERO", "D:", "HERO", ""},
      {"a.b/c", "a.b/", "c", ""},
      {"archive.tar.gz", "", "archive.tar", ".gz"},
      {".hidden", "", "", ".hidden"},
      {"dir\\", "dir\\", "", ""},
      // The name is cut at 255 characters before its extension is looked for.
      {"C:\\" + longName + "nnnnnnnnnn.spr", "C:\\", longName + "nnnnn", ""},
      {longName + ".spr.x", "", longName + ".spr", "."}};
  for (const auto& [path, directory, baseName, extension] : paths) {
    const archive::PathParts parts = archive::SplitPath(path);
    EXPECT_EQ(std::tie(parts.directory, parts.baseName, parts.extension),
              std::tie(directory, baseName, extension))
        << path;
  }
  const std::tuple<std::int64_t, int, const char*> numbers[] = {
      {5, 3, "005"},        {1500, 3, "500"}, {999, 3, "999"},         {42, 10, "1000000042"},
      {0, 0, ""},           {-5, 3, "995"},   {0, 12, "001000000000"}, {INT64_MAX, 4, "5807"},
      {INT64_MIN, 3, "808"}};
  for (const auto& [value, digits, text] : numbers) {
    EXPECT_EQ(archive::ZeroPadded(value, digits), text) << value << "/" << digits;
  }
  const std::pair<std::string, std::string> texts[] = {
      {std::string("PLAIN\0\x7F", 7), std::string("PLAIN\0\x7F", 7)},
      {"CAF\xC9\x80\x99", "CAF\xC3\x89\xE2\x82\xAC\xE2\x84\xA2"},
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
      {"\x9F\xFF\xA0", "\xC5\xB8\xC3\xBF\xC2\xA0"}};
  for (const auto& [ansi, utf8] : texts) {
    EXPECT_EQ(archive::AnsiToUtf8(ansi), utf8) << ansi;
  }
}

}  // namespace
