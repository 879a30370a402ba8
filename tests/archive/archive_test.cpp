#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <tuple>

#include "archive/ansi_text.h"
#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/path_text.h"
#include "tests/support/temp_dir.h"

namespace {

using archive::ArchiveImage;
using Status = archive::ReaderStatus;
constexpr Status kOk = Status::kNoError, kNoFile = Status::kCannotOpen,
                 kBad = Status::kNotAnArchive;

// The directory is at 112, the second record's data at 92.
ArchiveImage TwoRecords(const std::function<void(ArchiveImage&)>& change = [](ArchiveImage&) {}) {
  ArchiveImage image =
      archive::BuildArchive("Two", 7, {{"FIRST.SPR", 0, 10}, {"SECOND.MAP", 1, 20, 99}});
  change(image);
  return image;
}

ArchiveImage HeaderOnly(std::int32_t count, std::int32_t directoryOffset, std::string title = "",
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

// A header that fails verification leaves the previous title and version.
TEST_F(ArchiveReaderTest, CountsRecordsOrKeepsThePreviousHeader) {
  EXPECT_EQ((std::tuple{reader.Status(), reader.Title(), reader.Version(), reader.RecordName(),
                        reader.DataOffset() | reader.StoredSize() | reader.Method()}),
            (std::tuple{kOk, "ARCHIVE OF UNDEFINED TYPE", 0, "DATA", 0}));  // the initial state
  const std::string readOnly = dir.Write("read-only.spr", TwoRecords());
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  // Permissions do not stop root from writing; an immutable file stops everybody.
  const bool immutable = std::system(("chattr +i '" + readOnly + "' 2>/dev/null").c_str()) == 0;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);  // reads as empty, never blocks
  using Header = std::tuple<std::int32_t, Status, std::string, std::uint16_t, std::int64_t>;
  // The path; then the count, status, title, version and file size the reader gives after it.
  const std::pair<std::string, Header> cases[] = {
      {readOnly, {2, kOk, "Two", 7, 156}},
      {dir.File("none.spr"), {0, kNoFile, "Two", 7, 0}},
      {"", {0, kNoFile, "Two", 7, 0}},
      {dir.File("fifo"), {0, kBad, "Two", 7, 0}},
      {Put(TwoRecords([](ArchiveImage& i) { i.Bytes()[0] = 'q'; })), {0, kBad, "Two", 7, 156}},
      // The end mark.
      {Put(TwoRecords([](ArchiveImage& i) { i.Bytes()[30] = 0x1B; })), {0, kBad, "Two", 7, 156}},
      {Put(HeaderOnly(-5, -2000000000, "", {}, 65535)), {-5, kOk, "", 65535, 110}},
      // The title is cut at 40, or by its length.
      {Put(HeaderOnly(2147483647, 82, std::string(41, 'T'), 255)),
       {2147483647, kOk, std::string(40, 'T'), 1, 110}},
      {Put(HeaderOnly(0, 82, "Short title", 5)), {0, kOk, "Short", 1, 110}}};
  for (const auto& [path, expected] : cases) {
    reader.CountRecords(good);
    const std::ptrdiff_t openBefore = OpenFiles();
    EXPECT_EQ((std::pair{Header{reader.CountRecords(path), reader.Status(), reader.Title(),
                                reader.Version(), reader.FileSize()},
                         OpenFiles()}),
              (std::pair{expected, openBefore}))
        << path;
  }
  // The last header read, though it failed; a read-only archive's entries read.
  EXPECT_EQ((std::pair{reader.DirectoryOffset(), reader.ReadEntry(readOnly, 1)}),
            (std::pair{82, true}));
  EXPECT_TRUE(!immutable || std::system(("chattr -i '" + readOnly + "'").c_str()) == 0);
  std::string path;
  for (std::size_t length = 0; length <= archive::kHeaderSize; ++length) {
    path = Put(TwoRecords([&](ArchiveImage& i) { i.Resize(length); }));
    const bool whole = length == archive::kHeaderSize;
    EXPECT_EQ((std::pair{reader.CountRecords(path), reader.Status()}),
              (std::pair{whole ? 2 : 0, whole ? kOk : kBad}))
        << length;
  }
  // The header alone is a valid archive whose entries cannot be read.
  EXPECT_EQ((std::pair{reader.ReadEntry(path, 0), reader.Status()}), (std::pair{false, kBad}));
}

// The entry's bytes stay as read even when a step fails; its name is taken only when it was read.
TEST_F(ArchiveReaderTest, ReadsEntriesOrKeepsThePreviousName) {
  using Entry = std::tuple<bool, Status, std::string, std::int32_t, std::int32_t, int>;
  // TwoRecords with the entry at `position` rewritten.
  const auto with = [&](std::int64_t position, archive::EntryFields fields) {
    return Put(TwoRecords([&](ArchiveImage& i) { i.PutEntry(position, fields); }));
  };
  // The path and index; then what the reader holds after: read, status, name (FIRST.SPR: the
  // previous entry's), data offset, stored size, method.
  const std::tuple<std::string, std::int32_t, Entry> cases[] = {
      {good, 1, {true, kOk, "SECOND.MAP", 92, 20, 1}},
      // The index at the count, with bytes there.
      {with(156, {500, 33, 2, "EXTRA", {}}), 2, {false, kBad, "FIRST.SPR", 500, 33, 2}},
      {with(112, {0, 1234, 1, "GHOST.SPR", {}}), 0, {false, kOk, "GHOST.SPR", 0, 1234, 1}},
      {with(112, {82, 0, 0, "ABCDEFGHIJKLM", 200}), 0, {true, kOk, "ABCDEFGHIJKL", 82, 0, 0}},
      {dir.File("none.spr"), 0, {false, kNoFile, "FIRST.SPR", 82, 10, 0}},
      // A negative index reads title bytes, a negative position nothing.
      {Put(HeaderOnly(9, 82)), -1, {false, kBad, "FIRST.SPR", 0, 0, 0}},
      {Put(HeaderOnly(9, -22)), 0, {false, kBad, "FIRST.SPR", 82, 10, 0}},
      // An entry cut by the end reads ten zeros.
      {Put(HeaderOnly(9, 100)), 0, {false, kBad, "FIRST.SPR", 0, 0, 0}},
      // Beyond 32 bits.
      {Put(HeaderOnly(2147483647, 2147483647)), 2147483646, {false, kBad, "FIRST.SPR", 82, 10, 0}}};
  for (const auto& [path, index, expected] : cases) {
    ASSERT_TRUE(reader.ReadEntry(good, 0));
    const std::ptrdiff_t openBefore = OpenFiles();
    EXPECT_EQ((std::pair{Entry{reader.ReadEntry(path, index), reader.Status(), reader.RecordName(),
                               reader.DataOffset(), reader.StoredSize(), reader.Method()},
                         OpenFiles()}),
              (std::pair{expected, openBefore}))
        << path << " " << index;
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
  // Three digits are also shown by the listing's ratios.
  const std::tuple<std::int64_t, int, const char*> numbers[] = {
      {1500, 3, "500"},        {42, 10, "1000000042"}, {0, 0, ""},           {-5, 3, "995"},
      {0, 12, "001000000000"}, {INT64_MAX, 4, "5807"}, {INT64_MIN, 3, "808"}};
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
