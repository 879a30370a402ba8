#include "archive/archive_reader.h"

namespace archive {

// Each step sets the status when it fails; the operation closes the file whatever happened.

bool ArchiveReader::Open(const std::string& path) {
  if (!file_.Open(path)) {
    status_ = ReaderStatus::kCannotOpen;
    return false;
  }
  return true;
}

bool ArchiveReader::ReadHeader() {
  // A failed read is not checked as such: it gives fewer bytes, which fails the step.
  const std::size_t got = file_.ReadAt(0, headerBytes_.data(), headerBytes_.size());
  if (got != kHeaderSize || !HasSignature(headerBytes_)) {
    status_ = ReaderStatus::kNotAnArchive;
    return false;
  }
  title_ = ReadShortString(headerBytes_, kHeaderTitleOffset, kTitleCapacity);
  version_ = ReadU16(headerBytes_, kHeaderVersionOffset);
  return true;
}

bool ArchiveReader::ReadDirectoryEntry(std::int32_t index) {
  // A negative position or a failed seek or read is not checked as such: it gives fewer bytes,
  // a short read. A negative index is refused like one at or above the record count.
  const std::int64_t position = EntryPosition(DirectoryOffset(), index);
  const std::size_t got = file_.ReadAt(position, entryBytes_.data(), entryBytes_.size());
  if (index < 0 || index >= RecordCountField() || got < kEntrySize) {
    status_ = ReaderStatus::kNotAnArchive;
    return false;
  }
  recordName_ = ReadShortString(entryBytes_, kEntryNameOffset, kNameCapacity);
  return true;
}

std::int32_t ArchiveReader::CountRecords(const std::string& path) {
  status_ = ReaderStatus::kNoError;
  const bool opened = Open(path);
  fileSize_ = file_.Size();  // 0 where it cannot be told: every entry is then outside the file
  const std::int32_t count = opened && ReadHeader() ? RecordCountField() : 0;
  file_.Close();  // read-only: its close has nothing to lose
  return count;
}

bool ArchiveReader::ReadEntry(const std::string& path, std::int32_t index) {
  status_ = ReaderStatus::kNoError;
  const bool read = Open(path) && ReadHeader() && ReadDirectoryEntry(index) && DataOffset() != 0;
  file_.Close();  // read-only: its close has nothing to lose
  return read;
}

std::optional<std::int32_t> ReadUncompressedLength(const std::string& path, std::int32_t dataOffset,
                                                   std::optional<FileIdentity>* opened) {
  ByteFile file;
  std::array<std::uint8_t, kLengthPrefixSize> bytes{};
  // A failed open or read shows as no length; the read-only file closes with nothing to lose.
  const bool read =
      file.Open(path) && file.ReadAt(dataOffset, bytes.data(), bytes.size()) == bytes.size();
  if (opened != nullptr) {
    *opened = file.Identity();
  }
  return read ? std::optional(ReadI32(bytes, 0)) : std::nullopt;
}

}  // namespace archive
