// SplitPath, ZeroPadded, FormatPermille and the text conversion on arbitrary input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "archive/ansi_text.h"
#include "archive/path_text.h"
#include "lister/core/listing_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const archive::PathParts parts = archive::SplitPath(text);
  const std::string name = parts.baseName + parts.extension;
  if (parts.directory.size() > size || name.size() > 255 || parts.extension.size() > 255 ||
      text.substr(0, parts.directory.size()) != parts.directory) {
    std::abort();
  }
  if (name.size() < 255 && text.substr(parts.directory.size()) != name) {
    std::abort();
  }
  if (size >= 16) {
    std::int64_t a;
    std::int64_t b;
    std::memcpy(&a, data, 8);
    std::memcpy(&b, data + 8, 8);
    const int digits = data[0] % 12;
    if (archive::ZeroPadded(a, digits).size() != static_cast<std::size_t>(digits)) {
      std::abort();
    }
    if (lister::FormatPermille(lister::SavedPermille(a, b)).size() != 4) {
      std::abort();
    }
  }
  const std::string utf8 = archive::AnsiToUtf8(text);
  if (utf8.size() < size || utf8.size() > 3 * size) {
    std::abort();
  }
  return 0;
}
