// Text in a Windows ANSI code page and its meeting points with Unix names (UTF-8) and registry
// text (UTF-16), as Wine converts them. Not part of the Windows build.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace setwright {

// The ANSI code page that Wine gives a process in the locale named `locale` ("ru_RU.UTF-8",
// "sr_RS@latin", "C"), judged by the name alone: the locale need not be installed.
unsigned AnsiCodePageOfLocale(std::string_view locale);

// The ANSI code page of this process's locale: the first non-empty of LC_ALL, LC_CTYPE and LANG.
unsigned AnsiCodePageFromEnvironment();

// UTF-8 as Unicode code points; each byte that is no valid UTF-8 becomes U+FFFD.
std::u32string CodePointsFromUtf8(std::string_view utf8);
// UTF-8 as UTF-16 code units, with U+FFFD as above.
std::u16string Utf16FromUtf8(std::string_view utf8);

// File names as the Unix side spells them, in the character set of the process's locale (as
// LC_ALL, LC_CTYPE and LANG name it, where it is installed), as Wine reads them; UTF-8 unless that
// locale has another. A byte that is no character becomes U+FFFD; a character that the set lacks,
// '?'.
std::string Utf8FromUnixName(std::string_view name);
std::string UnixNameFromUtf8(std::string_view utf8);

// Whether two UTF-8 names are the same name ignoring case, compared character by character in
// Unicode.
bool EqualIgnoringCase(std::string_view utf8A, std::string_view utf8B);

// The conversions of one single- or double-byte code page. A character that the code page cannot
// hold becomes its unaccented Latin letter when the code page holds that letter (best fit), else
// '?'; a byte that is no valid UTF-8 counts as one such character.
class CodePage {
 public:
  // Throws std::invalid_argument for a code page that the system's iconv does not know.
  explicit CodePage(unsigned number);

  unsigned Number() const { return number_; }

  std::string AnsiFromUtf8(std::string_view utf8) const;
  std::string Utf8FromAnsi(std::string_view ansi) const;
  // UTF-16 code units (little-endian bytes; an odd last byte is ignored), as registry text
  // reaches a program that reads it through the ANSI calls.
  std::string AnsiFromUtf16(std::string_view littleEndianBytes) const;

 private:
  std::string AnsiFromCodePoint(char32_t codePoint) const;

  unsigned number_;
  std::array<char32_t, 256> single_{};  // the character of each byte that stands alone
  std::array<bool, 256> lead_{};        // bytes that start a double-byte character
  std::unordered_map<std::uint16_t, char32_t> double_;  // lead byte << 8 | trail byte
  std::unordered_map<char32_t, std::string> bytes_;     // the bytes of each character held
};

// The converter of code page `number`, made on first use and kept for the process; not for use
// from two threads at once.
CodePage& CodePageConverter(unsigned number);

// The converter of the code page that the environment chooses now.
CodePage& AnsiCodePage();

}  // namespace setwright
