#include "lister/cli/console_text.h"

#include <cstdio>

namespace lister::cli {

namespace {

void AppendHexEscape(std::string& out, unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\x%02X", value & 0xFF);
  out += buffer;
}

}  // namespace

std::string EscapeControls(std::string_view utf8, bool escapeSeparators) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x20 || byte == 0x7F) {
      AppendHexEscape(out, byte);
    } else if (byte == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      AppendHexEscape(out, static_cast<unsigned char>(utf8[++i]));  // a C1 control, U+0080..9F
    } else if (byte == '\\' && escapeSeparators) {
      out += "\\\\";
    } else {
      out.push_back(static_cast<char>(byte));
    }
  }
  return out;
}

std::size_t DisplayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++width;
    }
  }
  return width;
}

}  // namespace lister::cli
