#include "ansi_code_page.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

namespace setwright {

namespace {

constexpr char32_t kReplacement = U'\uFFFD';
constexpr char kDefaultChar = '?';

// Bytes 0x80 to 0x9F; the rest of the code page is ISO 8859-1. glibc's table leaves five of these
// bytes undefined, where Windows maps them onto the C1 controls, so the block is written out here.
constexpr std::array<char32_t, 32> kHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char AnsiFromCodePoint(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    return static_cast<char>(c);
  }
  const auto found = std::find(kHighBlock.begin(), kHighBlock.end(), c);
  if (found == kHighBlock.end()) {
    return kDefaultChar;
  }
  return static_cast<char>(0x80 + (found - kHighBlock.begin()));
}

char32_t CodePointFromAnsi(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 && byte < 0xA0 ? kHighBlock[byte - 0x80] : static_cast<char32_t>(byte);
}

// Converts between UTF-8 and UTF-32 with glibc's iconv; an invalid input sequence gives one
// replacement character per byte skipped.
class Utf8Converter {
 public:
  Utf8Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Utf8Converter() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) {
      iconv_close(handle_);
    }
  }
  Utf8Converter(const Utf8Converter&) = delete;
  Utf8Converter& operator=(const Utf8Converter&) = delete;

  // Returns false at an input sequence it cannot convert, with `in` pointing at it.
  bool Convert(char*& in, std::size_t& inLeft, std::string& out) {
    std::array<char, 256> chunk{};
    while (inLeft > 0) {
      char* next = chunk.data();
      std::size_t room = chunk.size();
      const std::size_t result = iconv(handle_, &in, &inLeft, &next, &room);
      out.append(chunk.data(), static_cast<std::size_t>(next - chunk.data()));
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
        return false;
      }
    }
    return true;
  }

  bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

 private:
  iconv_t handle_;
};

}  // namespace

std::string AnsiFromUnicode(std::u32string_view text) {
  std::string ansi;
  ansi.reserve(text.size());
  for (const char32_t c : text) {
    ansi.push_back(AnsiFromCodePoint(c));
  }
  return ansi;
}

std::u32string UnicodeFromAnsi(std::string_view text) {
  std::u32string unicode;
  unicode.reserve(text.size());
  for (const char c : text) {
    unicode.push_back(CodePointFromAnsi(c));
  }
  return unicode;
}

std::string AnsiFromUtf16(std::string_view littleEndianBytes) {
  std::string ansi;
  for (std::size_t i = 0; i + 1 < littleEndianBytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(littleEndianBytes[i]);
    const auto high = static_cast<unsigned char>(littleEndianBytes[i + 1]);
    ansi.push_back(AnsiFromCodePoint(static_cast<char32_t>(low | (high << 8))));
  }
  return ansi;
}

std::u32string UnicodeFromUtf8(std::string_view utf8) {
  Utf8Converter converter("UTF-32LE", "UTF-8");
  std::u32string unicode;
  if (!converter.Valid()) {
    return std::u32string(utf8.size(), kReplacement);
  }
  std::string input(utf8);
  char* in = input.data();
  std::size_t inLeft = input.size();
  std::string bytes;
  while (!converter.Convert(in, inLeft, bytes)) {
    bytes.append("\xFD\xFF\x00\x00", 4);  // U+FFFD, little-endian
    ++in;
    --inLeft;
  }
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
    std::uint32_t c = 0;
    for (int b = 3; b >= 0; --b) {
      c = (c << 8) | static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(b)]);
    }
    unicode.push_back(static_cast<char32_t>(c));
  }
  return unicode;
}

std::string AnsiFromUtf8(std::string_view utf8) {
  return AnsiFromUnicode(UnicodeFromUtf8(utf8));
}

std::string Utf8FromAnsi(std::string_view ansi) {
  std::string utf32;
  for (const char32_t c : UnicodeFromAnsi(ansi)) {
    for (int b = 0; b < 4; ++b) {
      utf32.push_back(static_cast<char>((c >> (8 * b)) & 0xFF));
    }
  }
  Utf8Converter converter("UTF-8", "UTF-32LE");
  std::string utf8;
  char* in = utf32.data();
  std::size_t inLeft = utf32.size();
  if (!converter.Valid() || !converter.Convert(in, inLeft, utf8)) {
    return std::string(ansi);  // every code page character is valid Unicode; not reached
  }
  return utf8;
}

char AnsiUpperCase(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') {
    return static_cast<char>(byte - 0x20);
  }
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) {  // à to þ, not ÷
    return static_cast<char>(byte - 0x20);
  }
  switch (byte) {
    case 0x9A:  // š
    case 0x9C:  // œ
    case 0x9E:  // ž
      return static_cast<char>(byte - 0x10);
    case 0xFF:  // ÿ
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

bool AnsiEqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AnsiUpperCase(x) == AnsiUpperCase(y);
         });
}

}  // namespace setwright
