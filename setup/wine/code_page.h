// Text in a Windows ANSI code page and its meeting points with Unix names (UTF-8) and registry
// text (UTF-16). Not part of the Windows build.
#pragma once

#include <iconv.h>

#include <array>
#include <string>
#include <string_view>

namespace setwright {

// The system's ANSI code page of a Wine prefix: Windows-1252, Wine's for English and Western
// European locales.
inline constexpr unsigned kAnsiCodePage = 1252;

// The conversions of one code page. Characters that it cannot hold become '?', as in Windows' own
// conversion; a byte that is no valid UTF-8 counts as one unmappable character. Holds its iconv
// descriptors open for its lifetime; not for use from two threads at once.
class CodePage {
 public:
  // Throws std::invalid_argument for a code page without a table here (only 1252 has one).
  explicit CodePage(unsigned number);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  // Unix file names.
  std::string AnsiFromUtf8(std::string_view utf8);
  std::string Utf8FromAnsi(std::string_view ansi);
  // UTF-8 as UTF-16 code units; each byte that is no valid UTF-8 becomes U+FFFD.
  std::u16string Utf16FromUtf8(std::string_view utf8);
  // UTF-16 code units (little-endian bytes; an odd last byte is ignored) one by one, as registry
  // text reaches a program that reads it through the ANSI calls.
  std::string AnsiFromUtf16(std::string_view littleEndianBytes) const;

  // Case-blind matching of file names.
  char UpperCase(char c) const;
  bool EqualIgnoringCase(std::string_view a, std::string_view b) const;

 private:
  char AnsiFromUnit(char16_t unit) const;

  std::array<char16_t, 256> units_{};  // the code point of each byte
  iconv_t toUtf16_ = reinterpret_cast<iconv_t>(-1);
  iconv_t toUtf8_ = reinterpret_cast<iconv_t>(-1);
};

// The converter of code page `number`, made on first use and kept for the process.
CodePage& CodePageConverter(unsigned number);

}  // namespace setwright
