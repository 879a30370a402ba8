#include "code_page.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <stdexcept>

namespace setwright {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char kDefaultChar = '?';
const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// Windows-1252 bytes 0x80 to 0x9F; the rest of the code page is ISO 8859-1. glibc's table leaves
// five of these bytes undefined, where Windows maps them onto the C1 controls, so the block is
// written out here.
constexpr std::array<char16_t, 32> kWindows1252HighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit < 0xDC00;
}

bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit < 0xE000;
}

// Runs `bytes` through `descriptor`; at an input sequence it cannot convert, appends
// `replacement` and skips one byte.
std::string Convert(iconv_t descriptor, std::string_view bytes, std::string_view replacement) {
  ::iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  std::string input(bytes);
  char* in = input.data();
  std::size_t inLeft = input.size();
  std::string out;
  std::array<char, 256> chunk{};
  while (inLeft > 0) {
    char* next = chunk.data();
    std::size_t room = chunk.size();
    const std::size_t result = ::iconv(descriptor, &in, &inLeft, &next, &room);
    out.append(chunk.data(), static_cast<std::size_t>(next - chunk.data()));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.append(replacement);
      ++in;
      --inLeft;
    }
  }
  return out;
}

std::u16string UnitsFromLittleEndian(std::string_view bytes) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return units;
}

}  // namespace

CodePage::CodePage(unsigned number) {
  if (number != 1252) {
    throw std::invalid_argument("no table for code page " + std::to_string(number));
  }
  toUtf16_ = ::iconv_open("UTF-16LE", "UTF-8");
  toUtf8_ = ::iconv_open("UTF-8", "UTF-16LE");
  for (std::size_t byte = 0; byte < units_.size(); ++byte) {
    units_[byte] = byte >= 0x80 && byte < 0xA0 ? kWindows1252HighBlock[byte - 0x80]
                                               : static_cast<char16_t>(byte);
  }
}

CodePage::~CodePage() {
  for (const iconv_t descriptor : {toUtf16_, toUtf8_}) {
    if (descriptor != kNoDescriptor) {
      ::iconv_close(descriptor);
    }
  }
}

char CodePage::AnsiFromUnit(char16_t unit) const {
  const auto found = std::find(units_.begin(), units_.end(), unit);
  return found == units_.end() ? kDefaultChar : static_cast<char>(found - units_.begin());
}

std::u16string CodePage::Utf16FromUtf8(std::string_view utf8) {
  if (toUtf16_ == kNoDescriptor) {
    return std::u16string(utf8.size(), kReplacement);
  }
  return UnitsFromLittleEndian(Convert(toUtf16_, utf8, "\xFD\xFF"));
}

std::string CodePage::AnsiFromUtf8(std::string_view utf8) {
  const std::u16string units = Utf16FromUtf8(utf8);
  std::string ansi;
  for (std::size_t i = 0; i < units.size(); ++i) {
    // A character beyond the first plane is one unmappable character, not two.
    if (IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      ++i;
    }
    ansi.push_back(AnsiFromUnit(units[i]));
  }
  return ansi;
}

std::string CodePage::Utf8FromAnsi(std::string_view ansi) {
  std::string utf16;
  for (const char c : ansi) {
    const char16_t unit = units_[static_cast<unsigned char>(c)];
    utf16.push_back(static_cast<char>(unit & 0xFF));
    utf16.push_back(static_cast<char>(unit >> 8));
  }
  // Every code page character is valid Unicode: nothing is ever replaced.
  return toUtf8_ == kNoDescriptor ? std::string(ansi) : Convert(toUtf8_, utf16, "?");
}

std::string CodePage::AnsiFromUtf16(std::string_view littleEndianBytes) const {
  std::string ansi;
  for (const char16_t unit : UnitsFromLittleEndian(littleEndianBytes)) {
    ansi.push_back(AnsiFromUnit(unit));
  }
  return ansi;
}

char CodePage::UpperCase(char c) const {
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

bool CodePage::EqualIgnoringCase(std::string_view a, std::string_view b) const {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [this](char x, char y) {
           return UpperCase(x) == UpperCase(y);
         });
}

CodePage& CodePageConverter(unsigned number) {
  static std::map<unsigned, std::unique_ptr<CodePage>> converters;
  std::unique_ptr<CodePage>& converter = converters[number];
  if (converter == nullptr) {
    converter = std::make_unique<CodePage>(number);
  }
  return *converter;
}

}  // namespace setwright
