#include "lister/core/listing_texts.h"

#include "archive/path_text.h"

namespace lister {

namespace {

// Only the letters a to z are upper-cased; every other byte stays.
std::string UpperCased(std::string_view name) {
  std::string text(name);
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return text;
}

}  // namespace

std::string NotAnArchiveMessage(std::string_view archiveName) {
  return UpperCased(archiveName) += kNotArchiveSuffix;
}

std::string ChangedMessage(std::string_view archiveName) {
  return UpperCased(archiveName) += kChangedSuffix;
}

std::string CaptionFor(std::string_view archiveName) {
  std::string caption(kProductName);
  caption += " (";
  caption += archiveName;
  caption += ')';
  return caption;
}

std::string FormatPermille(std::int64_t value) {
  if (value == 1000) {
    return " 100";
  }
  if (value < 0) {
    return "   0";
  }
  const std::string digits = archive::ZeroPadded(value, 3);
  return digits.substr(0, 2) + '.' + digits.substr(2, 1);
}

std::int64_t SavedPermille(std::int64_t compressed, std::int64_t uncompressed) {
  if (uncompressed == 0) {
    return -1;
  }
  // GCC and Clang give every 64-bit target, the only ones built, a 128-bit integer.
  const __int128 ratio = static_cast<__int128>(compressed) * 1000 / uncompressed;
  const __int128 saved = 1000 - ratio;
  // Only the sign and the three lowest digits are ever shown: keep those when narrowing.
  constexpr __int128 kLimit = 1'000'000'000'000'000'000;
  if (saved < -kLimit) {
    return -kLimit;
  }
  return static_cast<std::int64_t>(saved > kLimit ? kLimit + saved % 1000 : saved);
}

}  // namespace lister
