// Writes archives for our own tests, fixtures, benchmarks and the demo: well-formed ones, and
// hostile ones with any header and entry bytes. Record data is never encoded; a compressed
// record's data is its four-byte uncompressed length followed by zero bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/archive_format.h"

namespace archive {

struct HeaderFields {
  std::string signature{kSignature};  // cut or zero-filled to 31 bytes
  std::int32_t directoryOffset = static_cast<std::int32_t>(kHeaderSize);
  std::uint16_t version = 1;
  std::int32_t recordCount = 0;
  std::string title;                        // at most 40 bytes are written
  std::optional<std::uint8_t> titleLength;  // the length byte; the title's own length if unset
};

struct EntryFields {
  std::int32_t dataOffset = 0;
  std::int32_t storedSize = 0;
  std::uint8_t method = kMethodStored;
  std::string name;                        // at most 12 bytes are written
  std::optional<std::uint8_t> nameLength;  // the length byte; the name's own length if unset
};

// An archive's bytes in memory, written field by field at any position; it grows as needed.
class ArchiveImage {
 public:
  void PutHeader(const HeaderFields& fields);
  void PutEntry(std::int64_t position, const EntryFields& fields);
  void PutI32(std::int64_t position, std::int32_t value);
  void PutBytes(std::int64_t position, std::span<const std::uint8_t> bytes);
  void Resize(std::size_t size) { bytes_.resize(size); }

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::vector<std::uint8_t>& Bytes() { return bytes_; }

  // Writes the bytes to `path`, replacing any file there; false on any failure.
  bool WriteTo(const std::string& path) const;

 private:
  std::uint8_t* At(std::int64_t position, std::size_t count);
  std::vector<std::uint8_t> bytes_;
};

struct RecordSpec {
  std::string name;
  std::uint8_t method = kMethodStored;
  std::int32_t storedSize = 0;
  std::int32_t uncompressedLength = 0;  // written at the data's start when compressed
  bool emptySlot = false;               // data offset 0; the other fields are still written
  std::int32_t dataBytes = -1;          // bytes of data laid out; the stored size if negative
};

// Lays out a well-formed archive: header, then each record's data, then the directory.
ArchiveImage BuildArchive(const std::string& title, std::uint16_t version,
                          const std::vector<RecordSpec>& records);

}  // namespace archive
