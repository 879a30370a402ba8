#include "setup/wine/wine_hive.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "setup/core/system_root.h"
#include "setup/wine/code_page.h"

namespace setwright {

namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";

using Units = std::u16string;

// The C escapes that Wine writes for control characters.
std::optional<char16_t> SimpleEscape(char c) {
  switch (c) {
    case 'a':
      return u'\a';
    case 'b':
      return u'\b';
    case 'e':
      return u'\x1b';
    case 'f':
      return u'\f';
    case 'n':
      return u'\n';
    case 'r':
      return u'\r';
    case 't':
      return u'\t';
    case 'v':
      return u'\v';
    default:
      return std::nullopt;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  const int lower = std::tolower(static_cast<unsigned char>(c));
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

Units UnitsFromUtf8(std::string_view utf8) {
  return Utf16FromUtf8(utf8);
}

// Reads an escaped string from `text` up to the unescaped `end` character, which is consumed.
// Escapes: \\, \", \] and any other \c for c itself; \a \b \e \f \n \r \t \v; \ooo (octal, up to
// three digits); \xhhhh (hex, up to four digits). Bytes not escaped are taken as UTF-8.
std::optional<Units> ReadEscaped(std::string_view& text, char end) {
  Units units;
  std::size_t i = 0;
  while (i < text.size() && text[i] != end) {
    if (text[i] != '\\') {
      const std::size_t run = std::min(text.find_first_of(std::string{'\\', end}, i), text.size());
      units.append(UnitsFromUtf8(text.substr(i, run - i)));
      i = run;
      continue;
    }
    if (++i == text.size()) {
      return std::nullopt;
    }
    const char c = text[i++];
    if (const auto simple = SimpleEscape(c)) {
      units.push_back(*simple);
    } else if (c >= '0' && c <= '7') {
      unsigned value = static_cast<unsigned>(c - '0');
      for (int n = 1; n < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++n) {
        value = value * 8 + static_cast<unsigned>(text[i++] - '0');
      }
      units.push_back(static_cast<char16_t>(value));
    } else if (c == 'x' && i < text.size() && HexDigit(text[i]) >= 0) {
      unsigned value = 0;
      for (int n = 0; n < 4 && i < text.size() && HexDigit(text[i]) >= 0; ++n) {
        value = value * 16 + static_cast<unsigned>(HexDigit(text[i++]));
      }
      units.push_back(static_cast<char16_t>(value));
    } else {
      units.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
  }
  if (i == text.size()) {
    return std::nullopt;
  }
  text.remove_prefix(i + 1);
  return units;
}

void SkipBlanks(std::string_view& text) {
  text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
}

// Case folds ASCII letters only: the names looked for are ASCII, and no other character of a
// name can then make it equal.
bool EqualIgnoringCase(const Units& a, const Units& b) {
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

std::string LittleEndianBytes(const Units& units) {
  std::string bytes;
  for (const char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

// Splits the hive into lines and joins a line that ends in a backslash with the next one, its
// leading blanks dropped, as Wine wraps long hex data.
std::vector<std::string> LogicalLines(std::string_view hive) {
  std::vector<std::string> lines;
  bool continued = false;
  while (!hive.empty()) {
    const std::size_t end = std::min(hive.find('\n'), hive.size());
    std::string_view line = hive.substr(0, end);
    hive.remove_prefix(std::min(end + 1, hive.size()));
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    if (continued) {
      line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
      lines.back().append(line);
    } else {
      lines.emplace_back(line);
    }
    continued = lines.back().ends_with('\\') && !lines.back().starts_with('[');
    if (continued) {
      lines.back().pop_back();
    }
  }
  return lines;
}

// Comma-separated hex bytes; blanks around them are ignored.
std::optional<std::string> ReadHexBytes(std::string_view text) {
  std::string bytes;
  while (true) {
    SkipBlanks(text);
    if (text.empty()) {
      return bytes;
    }
    if (text.size() < 2 || HexDigit(text[0]) < 0 || HexDigit(text[1]) < 0) {
      return std::nullopt;
    }
    bytes.push_back(static_cast<char>(HexDigit(text[0]) * 16 + HexDigit(text[1])));
    text.remove_prefix(2);
    SkipBlanks(text);
    if (!text.empty()) {
      if (text[0] != ',') {
        return std::nullopt;
      }
      text.remove_prefix(1);
    }
  }
}

// Up to eight hex digits, consumed from `text`; nothing when there is no digit.
std::optional<std::uint32_t> ReadHexNumber(std::string_view& text) {
  std::uint32_t value = 0;
  std::size_t digits = 0;
  for (; digits < text.size() && digits < 8 && HexDigit(text[digits]) >= 0; ++digits) {
    value = value * 16 + static_cast<std::uint32_t>(HexDigit(text[digits]));
  }
  text.remove_prefix(digits);
  return digits == 0 ? std::nullopt : std::optional<std::uint32_t>(value);
}

std::optional<HiveValue> ReadQuotedString(std::string_view text, std::uint32_t type) {
  auto units = ReadEscaped(text, '"');
  if (!units) {
    return std::nullopt;
  }
  units->push_back(u'\0');
  return HiveValue{type, LittleEndianBytes(*units)};
}

// The data after "=": "..." | str:"..." | str(2):"..." | str(7):"..." | dword:hhhhhhhh | hex:..
// | hex(t):.. with the type t in hex.
std::optional<HiveValue> ReadData(std::string_view text) {
  struct StringForm {
    std::string_view tag;
    std::uint32_t type;
  };
  static constexpr StringForm kStringForms[] = {
      {"\"", kRegSz}, {"str:\"", kRegSz}, {"str(2):\"", kRegExpandSz}, {"str(7):\"", kRegMultiSz}};
  for (const StringForm& form : kStringForms) {
    if (text.starts_with(form.tag)) {
      return ReadQuotedString(text.substr(form.tag.size()), form.type);
    }
  }
  if (text.starts_with("dword:")) {
    // As Wine reads it, with strtoul: no digits read as 0, and the type is DWORD all the same.
    const auto value =
        static_cast<std::uint32_t>(std::strtoul(std::string(text.substr(6)).c_str(), nullptr, 16));
    std::string bytes;
    for (int b = 0; b < 4; ++b) {
      bytes.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
    }
    return HiveValue{kRegDword, bytes};
  }
  std::uint32_t type = kRegBinary;
  if (text.starts_with("hex(")) {
    text.remove_prefix(4);
    const auto number = ReadHexNumber(text);
    if (!number || !text.starts_with("):")) {
      return std::nullopt;
    }
    type = *number;
    text.remove_prefix(2);
  } else if (text.starts_with("hex:")) {
    text.remove_prefix(4);
  } else {
    return std::nullopt;
  }
  auto bytes = ReadHexBytes(text);
  if (!bytes) {
    return std::nullopt;
  }
  return HiveValue{type, std::move(*bytes)};
}

}  // namespace

int ReadHiveFile(const std::filesystem::path& path, std::string& text) {
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) {
    return errno;
  }
  text.clear();
  char buffer[65536];
  int error = 0;
  for (ssize_t got = 1; error == 0 && got != 0;) {
    got = ::read(file, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
    } else if (got < 0 && errno != EINTR) {
      error = errno;
    }
  }
  ::close(file);  // read only: closing it can lose nothing
  return error;
}

std::optional<HiveValue> FindHiveValue(std::string_view hive, std::string_view keyPath,
                                       std::string_view valueName) {
  if (!hive.starts_with(kSignature)) {
    return std::nullopt;
  }
  const Units key = UnitsFromUtf8(keyPath);
  const Units value = UnitsFromUtf8(valueName);
  bool inKey = false;
  std::optional<HiveValue> found;
  for (const std::string& line : LogicalLines(hive)) {
    std::string_view text = line;
    if (text.starts_with('[')) {
      text.remove_prefix(1);
      const auto name = ReadEscaped(text, ']');
      inKey = name && EqualIgnoringCase(*name, key);
      continue;
    }
    if (!inKey) {
      continue;
    }
    Units name;
    if (text.starts_with('@')) {
      text.remove_prefix(1);  // the key's default value, which has an empty name
    } else if (text.starts_with('"')) {
      text.remove_prefix(1);
      auto quoted = ReadEscaped(text, '"');
      if (!quoted) {
        continue;
      }
      name = std::move(*quoted);
    } else {
      continue;  // "#time=", "#class=" and other metadata, comments, blank lines
    }
    // Wine accepts blanks around the "=".
    SkipBlanks(text);
    if (!text.starts_with('=')) {
      continue;
    }
    text.remove_prefix(1);
    SkipBlanks(text);
    if (EqualIgnoringCase(name, value)) {
      // Wine keeps the last of two lines for the same value.
      found = ReadData(text);
    }
  }
  return found;
}

}  // namespace setwright
