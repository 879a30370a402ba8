// Layout of the game's archive files: an 82-byte header at offset 0, a directory of 22-byte
// entries at the header's directory offset, and record data anywhere else. Integers are
// little-endian and the records are packed, so fields sit at odd offsets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace archive {

// The signature is 30 characters followed by an end-of-file mark (26), compared as 31 bytes.
inline constexpr std::string_view kSignature{"Quillmarsh Archive File (1995)\x1A", 31};

inline constexpr std::size_t kHeaderSize = 82;
inline constexpr std::size_t kHeaderSignatureOffset = 0;
inline constexpr std::size_t kHeaderDirectoryOffset = 31;
inline constexpr std::size_t kHeaderVersionOffset = 35;
inline constexpr std::size_t kHeaderRecordCountOffset = 37;
inline constexpr std::size_t kHeaderTitleOffset = 41;
inline constexpr std::size_t kTitleCapacity = 40;

inline constexpr std::size_t kEntrySize = 22;
inline constexpr std::size_t kEntryDataOffset = 0;
inline constexpr std::size_t kEntryStoredSizeOffset = 4;
inline constexpr std::size_t kEntryMethodOffset = 8;
inline constexpr std::size_t kEntryNameOffset = 9;
inline constexpr std::size_t kNameCapacity = 12;

// The four bytes at the start of a compressed record's data hold its uncompressed length.
inline constexpr std::size_t kLengthPrefixSize = 4;

inline constexpr std::uint8_t kMethodStored = 0;
inline constexpr std::uint8_t kMethodLzw = 1;

using HeaderBytes = std::array<std::uint8_t, kHeaderSize>;
using EntryBytes = std::array<std::uint8_t, kEntrySize>;

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset);
std::int32_t ReadI32(std::span<const std::uint8_t> bytes, std::size_t offset);

// A length byte followed by `capacity` character bytes; a length above the capacity yields the
// whole capacity.
std::string ReadShortString(std::span<const std::uint8_t> bytes, std::size_t offset,
                            std::size_t capacity);

bool HasSignature(const HeaderBytes& bytes);

// A record counts as compressed when its method is not 0 and its stored size is positive.
inline bool IsCompressed(std::uint8_t method, std::int32_t storedSize) {
  return method != kMethodStored && storedSize > 0;
}

}  // namespace archive
