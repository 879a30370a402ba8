#include "archive_reader.h"

namespace archive {

bool ArchiveReader::Open(const std::string& path) {
  const bool opened = file_.Open(path);
  if (!opened) {
    status_ = ReaderStatus::kCannotOpen;
    file_.Close();
    return false;
  }
  return true;
}

bool ArchiveReader::ReadHeader() {
  const std::size_t got = file_.ReadAt(0, headerBytes_.data(), headerBytes_.size());
  if (got != kHeaderSize || !HasSignature(headerBytes_)) {
    status_ = ReaderStatus::kNotAnArchive;
    file_.Close();
    return false;
  }
  const ArchiveHeader header = DecodeHeader(headerBytes_);
  title_ = header.title;
  version_ = header.version;
  return true;
}

bool ArchiveReader::ReadDirectoryEntry(std::int32_t index) {
  // A negative position cannot be read and counts as a short read; a negative index is refused
  // like one at or above the record count.
  const std::int64_t position = EntryPosition(DirectoryOffset(), index);
  const std::size_t got = file_.ReadAt(position, entryBytes_.data(), entryBytes_.size());
  if (index < 0 || index >= RecordCountField() || got < kEntrySize) {
    status_ = ReaderStatus::kNotAnArchive;
    file_.Close();
    return false;
  }
  recordName_ = ReadShortString(entryBytes_, kEntryNameOffset, kNameCapacity);
  return true;
}

std::int32_t ArchiveReader::CountRecords(const std::string& path) {
  status_ = ReaderStatus::kNoError;
  std::int32_t count = 0;
  fileSize_ = 0;
  if (Open(path)) {
    fileSize_ = file_.Size();
    if (ReadHeader()) {
      count = RecordCountField();
    }
  }
  file_.Close();
  return count;
}

bool ArchiveReader::ReadEntry(const std::string& path, std::int32_t index) {
  status_ = ReaderStatus::kNoError;
  const bool read = Open(path) && ReadHeader() && ReadDirectoryEntry(index) && DataOffset() != 0;
  file_.Close();
  return read;
}

std::optional<std::int32_t> ReadUncompressedLength(const std::string& path,
                                                   std::int32_t dataOffset) {
  ByteFile file;
  if (!file.Open(path)) {
    return std::nullopt;
  }
  std::array<std::uint8_t, kLengthPrefixSize> bytes{};
  if (file.ReadAt(dataOffset, bytes.data(), bytes.size()) != bytes.size()) {
    return std::nullopt;
  }
  return ReadI32(bytes, 0);
}

}  // namespace archive
