// The system's ANSI code page of a Wine prefix, Windows-1252 (Wine's for English and Western
// European locales), and its meeting points with Unix names (UTF-8) and registry text (UTF-16).
#pragma once

#include <string>
#include <string_view>

namespace setwright {

// Characters that the code page cannot hold become '?', as in Windows' own conversion.
std::string AnsiFromUnicode(std::u32string_view text);
std::u32string UnicodeFromAnsi(std::string_view text);

// UTF-16 code units (little-endian bytes; an odd last byte is ignored) one by one, as registry
// text reaches a program that reads it through the ANSI calls.
std::string AnsiFromUtf16(std::string_view littleEndianBytes);

// Unix file names; a byte that is no valid UTF-8 counts as an unmappable character.
std::string AnsiFromUtf8(std::string_view utf8);
std::string Utf8FromAnsi(std::string_view ansi);
std::u32string UnicodeFromUtf8(std::string_view utf8);

// Upper-case form of an ANSI character, for the case-blind matching of file names.
char AnsiUpperCase(char c);
bool AnsiEqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace setwright
