#include "archive/archive_writer.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace archive {

namespace {

void PutShortString(std::uint8_t* at, const std::string& text, std::optional<std::uint8_t> length,
                    std::size_t capacity) {
  const std::size_t written = std::min(text.size(), capacity);
  at[0] = length.value_or(static_cast<std::uint8_t>(written));
  std::memset(at + 1, 0, capacity);
  std::memcpy(at + 1, text.data(), written);
}

void PutLittleEndian(std::uint8_t* at, std::uint32_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    at[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

}  // namespace

std::uint8_t* ArchiveImage::At(std::int64_t position, std::size_t count) {
  if (position < 0) {
    throw std::out_of_range("archive image position is negative");
  }
  const auto end = static_cast<std::size_t>(position) + count;
  if (bytes_.size() < end) {
    bytes_.resize(end);
  }
  return bytes_.data() + position;
}

void ArchiveImage::PutHeader(const HeaderFields& fields) {
  std::uint8_t* at = At(0, kHeaderSize);
  std::memset(at, 0, kSignature.size());
  std::memcpy(at + kHeaderSignatureOffset, fields.signature.data(),
              std::min(fields.signature.size(), kSignature.size()));
  PutLittleEndian(at + kHeaderDirectoryOffset, static_cast<std::uint32_t>(fields.directoryOffset),
                  4);
  PutLittleEndian(at + kHeaderVersionOffset, fields.version, 2);
  PutLittleEndian(at + kHeaderRecordCountOffset, static_cast<std::uint32_t>(fields.recordCount), 4);
  PutShortString(at + kHeaderTitleOffset, fields.title, fields.titleLength, kTitleCapacity);
}

void ArchiveImage::PutEntry(std::int64_t position, const EntryFields& fields) {
  std::uint8_t* at = At(position, kEntrySize);
  PutLittleEndian(at + kEntryDataOffset, static_cast<std::uint32_t>(fields.dataOffset), 4);
  PutLittleEndian(at + kEntryStoredSizeOffset, static_cast<std::uint32_t>(fields.storedSize), 4);
  at[kEntryMethodOffset] = fields.method;
  PutShortString(at + kEntryNameOffset, fields.name, fields.nameLength, kNameCapacity);
}

void ArchiveImage::PutI32(std::int64_t position, std::int32_t value) {
  PutLittleEndian(At(position, 4), static_cast<std::uint32_t>(value), 4);
}

void ArchiveImage::PutBytes(std::int64_t position, std::span<const std::uint8_t> bytes) {
  std::memcpy(At(position, bytes.size()), bytes.data(), bytes.size());
}

bool ArchiveImage::WriteTo(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  // A failed open, write or close leaves the stream failed, which the result reports.
  out.write(reinterpret_cast<const char*>(bytes_.data()),
            static_cast<std::streamsize>(bytes_.size()));
  out.close();
  return static_cast<bool>(out);
}

ArchiveImage BuildArchive(const std::string& title, std::uint16_t version,
                          const std::vector<RecordSpec>& records) {
  ArchiveImage image;
  std::int64_t position = kHeaderSize;
  std::vector<std::int32_t> dataOffsets;
  dataOffsets.reserve(records.size());
  for (const RecordSpec& record : records) {
    std::int64_t size = record.dataBytes >= 0 ? record.dataBytes : std::max(record.storedSize, 0);
    const bool compressed = IsCompressed(record.method, record.storedSize);
    if (compressed) {
      size = std::max<std::int64_t>(size, kLengthPrefixSize);
    }
    dataOffsets.push_back(static_cast<std::int32_t>(position));
    image.Resize(static_cast<std::size_t>(position + size));
    if (compressed) {
      image.PutI32(position, record.uncompressedLength);
    }
    position += size;
  }
  HeaderFields header;
  header.directoryOffset = static_cast<std::int32_t>(position);
  header.version = version;
  header.recordCount = static_cast<std::int32_t>(records.size());
  header.title = title;
  image.PutHeader(header);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const RecordSpec& record = records[i];
    image.PutEntry(position + static_cast<std::int64_t>(kEntrySize * i),
                   {record.emptySlot ? 0 : dataOffsets[i], record.storedSize, record.method,
                    record.name, std::nullopt});
  }
  return image;
}

}  // namespace archive
