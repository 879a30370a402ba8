// The library's door to an archive. Each operation opens the archive by its path, verifies the
// header, does its work and closes the file before it returns; its results stay in the reader
// for the caller to read right after the call. A program keeps one reader for its whole run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archive/archive_format.h"
#include "archive/byte_file.h"

namespace archive {

enum class ReaderStatus : std::int32_t {
  kNoError = 0,
  kCannotOpen = 1,
  kNotAnArchive = 2,  // also: a directory entry cannot be read
};

class ArchiveReader {
 public:
  // The number of records the header states (possibly 0 or negative), or 0 when the archive
  // cannot be opened or is not an archive; Status() tells which.
  std::int32_t CountRecords(const std::string& path);

  // True when entry `index` was read and is not an empty slot. An empty slot gives false with
  // status 0; a failed step gives false with status 1 or 2.
  bool ReadEntry(const std::string& path, std::int32_t index);

  ReaderStatus Status() const { return status_; }
  // Title and version of the last header that passed verification.
  const std::string& Title() const { return title_; }
  std::uint16_t Version() const { return version_; }
  // Fields of the last header read (verified or not).
  std::int32_t DirectoryOffset() const { return ReadI32(headerBytes_, kHeaderDirectoryOffset); }
  std::int32_t RecordCountField() const { return ReadI32(headerBytes_, kHeaderRecordCountOffset); }
  // Fields of the last directory entry read.
  std::int32_t DataOffset() const { return ReadI32(entryBytes_, kEntryDataOffset); }
  std::int32_t StoredSize() const { return ReadI32(entryBytes_, kEntryStoredSizeOffset); }
  std::uint8_t Method() const { return entryBytes_[kEntryMethodOffset]; }
  // Name of the last directory entry read successfully.
  const std::string& RecordName() const { return recordName_; }
  // Size in bytes of the file that the last CountRecords opened (0 when it could not).
  std::int64_t FileSize() const { return fileSize_; }
  // Identity of the file that the last operation opened; nothing when it could not open one.
  // A caller that compares it between operations sees a file replaced, changed or deleted.
  const std::optional<FileIdentity>& OpenedIdentity() const { return file_.Identity(); }

 private:
  bool Open(const std::string& path);
  bool ReadHeader();
  bool ReadDirectoryEntry(std::int32_t index);

  ByteFile file_;
  ReaderStatus status_ = ReaderStatus::kNoError;
  HeaderBytes headerBytes_{};
  std::string title_ = "ARCHIVE OF UNDEFINED TYPE";
  std::uint16_t version_ = 0;
  EntryBytes entryBytes_{};
  std::string recordName_ = "DATA";
  std::int64_t fileSize_ = 0;
};

// Absolute file position of directory entry `index`, formed in 64 bits.
inline std::int64_t EntryPosition(std::int32_t directoryOffset, std::int64_t index) {
  return static_cast<std::int64_t>(directoryOffset) + static_cast<std::int64_t>(kEntrySize) * index;
}

// Opens the archive once more and reads the signed 32-bit uncompressed length at the start of a
// compressed record's data; nothing when the four bytes cannot be read. `opened`, when given,
// receives the identity of the file opened (nothing when the open failed).
std::optional<std::int32_t> ReadUncompressedLength(const std::string& path, std::int32_t dataOffset,
                                                   std::optional<FileIdentity>* opened = nullptr);

}  // namespace archive
