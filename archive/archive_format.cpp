#include "archive/archive_format.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace archive {

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  assert(offset + 2 <= bytes.size());
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::int32_t ReadI32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  assert(offset + 4 <= bytes.size());
  const std::uint32_t value = static_cast<std::uint32_t>(bytes[offset]) |
                              (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
                              (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
                              (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
  return static_cast<std::int32_t>(value);
}

std::string ReadShortString(std::span<const std::uint8_t> bytes, std::size_t offset,
                            std::size_t capacity) {
  assert(offset + 1 + capacity <= bytes.size());
  const std::size_t length = std::min<std::size_t>(bytes[offset], capacity);
  const auto* first = reinterpret_cast<const char*>(bytes.data() + offset + 1);
  return std::string(first, length);
}

bool HasSignature(const HeaderBytes& bytes) {
  return std::memcmp(bytes.data() + kHeaderSignatureOffset, kSignature.data(), kSignature.size()) ==
         0;
}

}  // namespace archive
