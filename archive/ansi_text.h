// Names and titles in archives are single-byte Windows-1252 text; views show them as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace archive {

// Converts Windows-1252 bytes to UTF-8 with the platform's converter. The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control characters
// of the same value, as Windows itself converts them.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace archive
