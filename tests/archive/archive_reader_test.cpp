#include "archive_reader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "archive_writer.h"
#include "temp_dir.h"

namespace {

using archive::ArchiveImage;
using archive::ArchiveReader;
using archive::EntryFields;
using archive::HeaderFields;
using archive::ReaderStatus;
using testing_support::TempDir;

ArchiveImage TwoRecordArchive() {
  return archive::BuildArchive(
      "Two records", 7, {{"FIRST.SPR", 0, 10, 0, false, -1}, {"SECOND.MAP", 1, 20, 99, false, -1}});
}

class ArchiveReaderTest : public ::testing::Test {
 protected:
  TempDir dir;
  ArchiveReader reader;
};

TEST_F(ArchiveReaderTest, StartsWithItsInitialState) {
  EXPECT_EQ(reader.Status(), ReaderStatus::kNoError);
  EXPECT_EQ(reader.Title(), "ARCHIVE OF UNDEFINED TYPE");
  EXPECT_EQ(reader.Version(), 0);
  EXPECT_EQ(reader.RecordName(), "DATA");
  EXPECT_EQ(reader.DataOffset(), 0);
  EXPECT_EQ(reader.StoredSize(), 0);
  EXPECT_EQ(reader.Method(), 0);
}

TEST_F(ArchiveReaderTest, CountsRecordsOfAValidArchive) {
  const std::string path = dir.Write("two.spr", TwoRecordArchive());
  EXPECT_EQ(reader.CountRecords(path), 2);
  EXPECT_EQ(reader.Status(), ReaderStatus::kNoError);
  EXPECT_EQ(reader.Title(), "Two records");
  EXPECT_EQ(reader.Version(), 7);
}

TEST_F(ArchiveReaderTest, MissingFileOrDirectoryCannotBeOpened) {
  EXPECT_EQ(reader.CountRecords(dir.File("missing.spr")), 0);
  EXPECT_EQ(reader.Status(), ReaderStatus::kCannotOpen);
  EXPECT_FALSE(reader.ReadEntry(dir.File("missing.spr"), 0));
  EXPECT_EQ(reader.Status(), ReaderStatus::kCannotOpen);
  EXPECT_EQ(reader.CountRecords(""), 0);
  EXPECT_EQ(reader.Status(), ReaderStatus::kCannotOpen);
}

TEST_F(ArchiveReaderTest, ReadOnlyArchiveLists) {
  const std::string path = dir.Write("ro.spr", TwoRecordArchive());
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  // Permissions do not stop root from writing; an immutable file stops everybody.
  const bool immutable = std::system(("chattr +i '" + path + "' 2>/dev/null").c_str()) == 0;
  EXPECT_EQ(reader.CountRecords(path), 2);
  EXPECT_EQ(reader.Status(), ReaderStatus::kNoError);
  EXPECT_TRUE(reader.ReadEntry(path, 1));
  if (immutable) {
    EXPECT_EQ(std::system(("chattr -i '" + path + "'").c_str()), 0);
  }
}

TEST_F(ArchiveReaderTest, EveryTruncationOfTheHeaderIsNotAnArchive) {
  const ArchiveImage whole = TwoRecordArchive();
  for (std::size_t length = 0; length < archive::kHeaderSize; ++length) {
    ArchiveImage cut = whole;
    cut.Resize(length);
    const std::string path = dir.Write("cut.spr", cut);
    EXPECT_EQ(reader.CountRecords(path), 0) << "length " << length;
    EXPECT_EQ(reader.Status(), ReaderStatus::kNotAnArchive) << "length " << length;
  }
  // The header alone is a valid archive whose entries cannot be read.
  ArchiveImage headerOnly = whole;
  headerOnly.Resize(archive::kHeaderSize);
  const std::string path = dir.Write("header.spr", headerOnly);
  EXPECT_EQ(reader.CountRecords(path), 2);
  EXPECT_EQ(reader.Status(), ReaderStatus::kNoError);
  EXPECT_FALSE(reader.ReadEntry(path, 0));
  EXPECT_EQ(reader.Status(), ReaderStatus::kNotAnArchive);
}

TEST_F(ArchiveReaderTest, SignatureIsComparedAsAll31Bytes) {
  struct Case {
    const char* what;
    std::size_t position;
    std::uint8_t value;
  };
  const Case cases[] = {
      {"end mark replaced", 30, 0x00},
      {"end mark as 0x1B", 30, 0x1B},
      {"first letter lower case", 0, 'q'},
      {"year changed", 27, '6'},
  };
  for (const Case& c : cases) {
    ArchiveImage image = TwoRecordArchive();
    image.Bytes()[c.position] = c.value;
    const std::string path = dir.Write("sig.spr", image);
    EXPECT_EQ(reader.CountRecords(path), 0) << c.what;
    EXPECT_EQ(reader.Status(), ReaderStatus::kNotAnArchive) << c.what;
  }
}

TEST_F(ArchiveReaderTest, HeaderFieldsAreAcceptedAsStored) {
  struct Case {
    std::int32_t count;
    std::int32_t directoryOffset;
    std::uint16_t version;
  };
  const Case cases[] = {{0, 82, 0}, {-5, 82, 65535}, {2147483647, -2000000000, 1}};
  for (const Case& c : cases) {
    ArchiveImage image;
    HeaderFields header;
    header.recordCount = c.count;
    header.directoryOffset = c.directoryOffset;
    header.version = c.version;
    image.PutHeader(header);
    const std::string path = dir.Write("fields.spr", image);
    EXPECT_EQ(reader.CountRecords(path), c.count);
    EXPECT_EQ(reader.Status(), ReaderStatus::kNoError);
    EXPECT_EQ(reader.Version(), c.version);
    EXPECT_EQ(reader.DirectoryOffset(), c.directoryOffset);
  }
}

TEST_F(ArchiveReaderTest, TitleLengthAboveCapacityYieldsFortyCharacters) {
  ArchiveImage image;
  HeaderFields header;
  header.title = std::string(40, 'T');
  header.titleLength = 255;
  image.PutHeader(header);
  reader.CountRecords(dir.Write("title.spr", image));
  EXPECT_EQ(reader.Title(), std::string(40, 'T'));

  header.title = "Short title and bytes past its length";
  header.titleLength = 5;
  image.PutHeader(header);
  reader.CountRecords(dir.Write("title.spr", image));
  EXPECT_EQ(reader.Title(), "Short");
}

TEST_F(ArchiveReaderTest, FailedHeaderKeepsThePreviousTitleAndVersion) {
  reader.CountRecords(dir.Write("good.spr", TwoRecordArchive()));
  const std::string bad = dir.WriteText("bad.spr", std::string(100, 'x'));
  EXPECT_EQ(reader.CountRecords(bad), 0);
  EXPECT_EQ(reader.Status(), ReaderStatus::kNotAnArchive);
  EXPECT_EQ(reader.Title(), "Two records");
  EXPECT_EQ(reader.Version(), 7);
}

TEST_F(ArchiveReaderTest, ReadsEntriesAndTheirFields) {
  const std::string path = dir.Write("two.spr", TwoRecordArchive());
  ASSERT_TRUE(reader.ReadEntry(path, 1));
  EXPECT_EQ(reader.Status(), ReaderStatus::kNoError);
  EXPECT_EQ(reader.RecordName(), "SECOND.MAP");
  EXPECT_EQ(reader.StoredSize(), 20);
  EXPECT_EQ(reader.Method(), 1);
  EXPECT_EQ(archive::ReadUncompressedLength(path, reader.DataOffset()), 99);
  ASSERT_TRUE(reader.ReadEntry(path, 0));
  EXPECT_EQ(reader.RecordName(), "FIRST.SPR");
  EXPECT_EQ(reader.DataOffset(), 82);
}

TEST_F(ArchiveReaderTest, IndexAtTheCountFailsEvenWithBytesThere) {
  ArchiveImage image = TwoRecordArchive();
  const std::int64_t third =
      archive::EntryPosition(archive::ReadI32(image.Bytes(), archive::kHeaderDirectoryOffset), 2);
  image.PutEntry(third, {500, 33, 0, "EXTRA.BIN", std::nullopt});
  const std::string path = dir.Write("extra.spr", image);
  EXPECT_FALSE(reader.ReadEntry(path, 2));
  EXPECT_EQ(reader.Status(), ReaderStatus::kNotAnArchive);
  // The entry's bytes were read before the index was refused; the name was not taken.
  EXPECT_EQ(reader.DataOffset(), 500);
  EXPECT_EQ(reader.RecordName(), "DATA");
}

TEST_F(ArchiveReaderTest, EntriesThatCannotBeReadFailWithStatusTwo) {
  struct Case {
    const char* what;
    std::int32_t directoryOffset;
    std::int32_t index;
  };
  const Case cases[] = {
      {"negative index", 82, -1},
      {"negative position", -22, 0},
      {"far negative position", -2000000000, 0},
      {"entry cut by the end of the file", 100, 0},
      {"entry past the end of the file", 2000000000, 1},
      {"position beyond 32 bits", 2147483647, 2147483646},
  };
  for (const Case& c : cases) {
    ArchiveImage image;
    HeaderFields header;
    header.recordCount = 2147483647;
    header.directoryOffset = c.directoryOffset;
    image.PutHeader(header);
    image.Resize(110);
    const std::string path = dir.Write("hostile.spr", image);
    EXPECT_FALSE(reader.ReadEntry(path, c.index)) << c.what;
    EXPECT_EQ(reader.Status(), ReaderStatus::kNotAnArchive) << c.what;
  }
}

TEST_F(ArchiveReaderTest, EmptySlotIsFalseWithStatusZeroAndItsName) {
  ArchiveImage image;
  HeaderFields header;
  header.recordCount = 1;
  image.PutHeader(header);
  image.PutEntry(archive::kHeaderSize, {0, 1234, 1, "GHOST.SPR", std::nullopt});
  const std::string path = dir.Write("slot.spr", image);
  EXPECT_FALSE(reader.ReadEntry(path, 0));
  EXPECT_EQ(reader.Status(), ReaderStatus::kNoError);
  EXPECT_EQ(reader.RecordName(), "GHOST.SPR");
  EXPECT_EQ(reader.StoredSize(), 1234);
}

TEST_F(ArchiveReaderTest, NameLengthAboveCapacityYieldsTwelveCharacters) {
  ArchiveImage image;
  HeaderFields header;
  header.recordCount = 1;
  image.PutHeader(header);
  image.PutEntry(archive::kHeaderSize, {82, 0, 0, "ABCDEFGHIJKL", std::uint8_t{200}});
  ASSERT_TRUE(reader.ReadEntry(dir.Write("name.spr", image), 0));
  EXPECT_EQ(reader.RecordName(), "ABCDEFGHIJKL");
}

TEST_F(ArchiveReaderTest, UncompressedLengthNeedsAllFourBytes) {
  ArchiveImage image = TwoRecordArchive();
  const std::int64_t size = static_cast<std::int64_t>(image.Bytes().size());
  image.PutI32(size - 4, -7);
  const std::string path = dir.Write("len.spr", image);
  EXPECT_EQ(archive::ReadUncompressedLength(path, static_cast<std::int32_t>(size - 4)), -7);
  EXPECT_EQ(archive::ReadUncompressedLength(path, static_cast<std::int32_t>(size - 3)),
            std::nullopt);
  EXPECT_EQ(archive::ReadUncompressedLength(path, -1), std::nullopt);
  EXPECT_EQ(archive::ReadUncompressedLength(dir.File("missing"), 0), std::nullopt);
}

TEST_F(ArchiveReaderTest, FifoReadsAsEmptyInsteadOfBlocking) {
  const std::string path = dir.File("pipe");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(reader.CountRecords(path), 0);
  EXPECT_EQ(reader.Status(), ReaderStatus::kNotAnArchive);
}

}  // namespace
