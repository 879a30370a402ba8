#include "setup/wine/code_page.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

namespace setwright {

namespace {

constexpr char32_t kReplacement = U'\uFFFD';
constexpr char kDefaultChar = '?';
constexpr unsigned kWesternCodePage = 1252;

// The unaccented letter of each character from U+00C0 to U+017F, '?' where there is none.
constexpr std::string_view kLatinBases =
    "AAAAAA?CEEEEIIII?NOOOOO?OUUUUY??aaaaaa?ceeeeiiii?nooooo?ouuuuy?y"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiI???JjKk?LlLlLl?"
    "?LlNnNnNn???OoOoOo??RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZz?";
constexpr char32_t kFirstLatinBase = 0xC0;

struct LocaleCodePage {
  std::string_view language;
  std::string_view territoryOrModifier;  // empty: any
  unsigned codePage;
};

// clang-format off
constexpr LocaleCodePage kLocaleCodePages[] = {
    {"sr", "latin", 1250}, {"cs", "", 1250}, {"hu", "", 1250}, {"pl", "", 1250},
    {"ro", "", 1250}, {"hr", "", 1250}, {"sk", "", 1250}, {"sl", "", 1250}, {"sq", "", 1250},
    {"bs", "", 1250}, {"ru", "", 1251}, {"uk", "", 1251}, {"be", "", 1251}, {"bg", "", 1251},
    {"mk", "", 1251}, {"sr", "", 1251}, {"el", "", 1253}, {"tr", "", 1254}, {"az", "", 1254},
    {"he", "", 1255}, {"ar", "", 1256}, {"fa", "", 1256}, {"ur", "", 1256}, {"et", "", 1257},
    {"lt", "", 1257}, {"lv", "", 1257}, {"vi", "", 1258}, {"th", "", 874}, {"ja", "", 932},
    {"zh", "CN", 936}, {"zh", "SG", 936}, {"ko", "", 949}, {"zh", "TW", 950}, {"zh", "HK", 950}};
// clang-format on

// The part of `locale` after the first `start` character up to any of `ends`.
std::string_view LocalePart(std::string_view locale, char start, std::string_view ends) {
  const std::size_t begin = locale.find(start);
  if (begin == std::string_view::npos) {
    return {};
  }
  const std::string_view rest = locale.substr(begin + 1);
  return rest.substr(0, std::min(rest.find_first_of(ends), rest.size()));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The character that `bytes` make in the code page of `descriptor`: nothing when they are no
// character; `incomplete` when they only start one.
std::optional<char32_t> Decode(iconv_t descriptor, std::string bytes, bool& incomplete) {
  ::iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  std::array<char32_t, 4> out{};
  char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  char* next = reinterpret_cast<char*>(out.data());
  std::size_t room = sizeof out;
  const std::size_t result = ::iconv(descriptor, &in, &inLeft, &next, &room);
  incomplete = result == static_cast<std::size_t>(-1) && errno == EINVAL;
  if (result == static_cast<std::size_t>(-1)) {
    return std::nullopt;
  }
  // A converter that waits for combining marks gives the character only when flushed.
  ::iconv(descriptor, nullptr, nullptr, &next, &room);
  return room == sizeof out - sizeof(char32_t) ? std::optional<char32_t>(out[0]) : std::nullopt;
}

char32_t UpperCase(char32_t c) {
  // The C locale's case mapping covers ASCII only; C.UTF-8 has Unicode's.
  static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  const auto wide = static_cast<wint_t>(c);
  return static_cast<char32_t>(unicode != locale_t{} ? ::towupper_l(wide, unicode)
                                                     : ::towupper(wide));
}

}  // namespace

unsigned AnsiCodePageOfLocale(std::string_view locale) {
  const std::string_view language =
      locale.substr(0, std::min(locale.find_first_of("_.@"), locale.size()));
  const std::string_view territory = LocalePart(locale, '_', ".@");
  const std::string_view modifier = LocalePart(locale, '@', "");
  for (const LocaleCodePage& entry : kLocaleCodePages) {
    if (entry.language == language &&
        (entry.territoryOrModifier.empty() || entry.territoryOrModifier == territory ||
         entry.territoryOrModifier == modifier)) {
      return entry.codePage;
    }
  }
  return kWesternCodePage;
}

unsigned AnsiCodePageFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
      return AnsiCodePageOfLocale(value);
    }
  }
  return kWesternCodePage;
}

std::u32string CodePointsFromUtf8(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4);
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = i + k < utf8.size() ? static_cast<unsigned char>(utf8[i + k]) : 0u;
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond U+10FFFF are no valid UTF-8.
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && c >= least[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    out.push_back(valid ? c : kReplacement);
    i += valid ? length : 1;
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
  std::u16string units;
  for (const char32_t c : CodePointsFromUtf8(utf8)) {
    if (c >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(c));
    }
  }
  return units;
}

namespace {

// The character set of file names, or nothing where it is UTF-8. Without an installed locale (C,
// whose set is ASCII) names are taken as UTF-8, which ASCII names are as well.
std::optional<std::string> UnixNameCharset() {
  const locale_t locale = ::newlocale(LC_CTYPE_MASK, "", locale_t{});
  if (locale == locale_t{}) {
    return std::nullopt;
  }
  std::string charset = ::nl_langinfo_l(CODESET, locale);
  ::freelocale(locale);
  if (charset == "UTF-8" || charset == "ANSI_X3.4-1968") {
    return std::nullopt;
  }
  return charset;
}

// `text` converted by `descriptor`, with `replacement` for each input unit of `unitSize` bytes
// that cannot be converted.
std::string Convert(iconv_t descriptor, std::string_view text, std::size_t unitSize,
                    std::string_view replacement) {
  std::string out;
  std::string input(text);
  char* in = input.data();
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    std::array<char, 256> buffer{};
    char* next = buffer.data();
    std::size_t room = buffer.size();
    const std::size_t result = ::iconv(descriptor, &in, &inLeft, &next, &room);
    out.append(buffer.data(), static_cast<std::size_t>(next - buffer.data()));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.append(replacement);
      const std::size_t skip = std::min(unitSize, inLeft);
      in += skip;
      inLeft -= skip;
      ::iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace

std::string Utf8FromUnixName(std::string_view name) {
  const std::optional<std::string> charset = UnixNameCharset();
  const iconv_t descriptor =
      charset ? ::iconv_open("UTF-8", charset->c_str()) : reinterpret_cast<iconv_t>(-1);
  if (descriptor == reinterpret_cast<iconv_t>(-1)) {
    return std::string(name);
  }
  std::string utf8 = Convert(descriptor, name, 1, "\xEF\xBF\xBD");
  ::iconv_close(descriptor);
  return utf8;
}

std::string UnixNameFromUtf8(std::string_view utf8) {
  const std::optional<std::string> charset = UnixNameCharset();
  const iconv_t descriptor =
      charset ? ::iconv_open(charset->c_str(), "UTF-32LE") : reinterpret_cast<iconv_t>(-1);
  if (descriptor == reinterpret_cast<iconv_t>(-1)) {
    return std::string(utf8);
  }
  std::string units;
  for (const char32_t c : CodePointsFromUtf8(utf8)) {
    for (int b = 0; b < 4; ++b) {
      units.push_back(static_cast<char>((c >> (8 * b)) & 0xFF));
    }
  }
  std::string name = Convert(descriptor, units, 4, "?");
  ::iconv_close(descriptor);
  return name;
}

bool EqualIgnoringCase(std::string_view utf8A, std::string_view utf8B) {
  const std::u32string a = CodePointsFromUtf8(utf8A);
  const std::u32string b = CodePointsFromUtf8(utf8B);
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char32_t x, char32_t y) { return UpperCase(x) == UpperCase(y); });
}

CodePage::CodePage(unsigned number) : number_(number) {
  const iconv_t descriptor = ::iconv_open("UTF-32LE", ("CP" + std::to_string(number)).c_str());
  if (descriptor == reinterpret_cast<iconv_t>(-1)) {
    throw std::invalid_argument("no table for code page " + std::to_string(number));
  }
  for (unsigned byte = 0; byte < 256; ++byte) {
    bool incomplete = false;
    const auto single = Decode(descriptor, std::string(1, static_cast<char>(byte)), incomplete);
    lead_[byte] = incomplete;
    // A byte that the table leaves undefined stands for the character of the same number, as
    // Windows 1252 maps its five undefined bytes onto the C1 controls.
    single_[byte] = single.value_or(byte);
    for (unsigned trail = 0; incomplete && trail < 256; ++trail) {
      bool partial = false;
      const std::string pair{static_cast<char>(byte), static_cast<char>(trail)};
      if (const auto c = Decode(descriptor, pair, partial)) {
        double_[static_cast<std::uint16_t>(byte << 8 | trail)] = *c;
        bytes_.emplace(*c, pair);
      }
    }
    if (!incomplete) {
      bytes_.emplace(single_[byte], std::string(1, static_cast<char>(byte)));
    }
  }
  ::iconv_close(descriptor);
}

std::string CodePage::AnsiFromCodePoint(char32_t codePoint) const {
  if (const auto found = bytes_.find(codePoint); found != bytes_.end()) {
    return found->second;
  }
  const char32_t index = codePoint - kFirstLatinBase;
  if (codePoint >= kFirstLatinBase && index < kLatinBases.size() &&
      kLatinBases[index] != kDefaultChar) {
    return std::string(1, kLatinBases[index]);
  }
  return std::string(1, kDefaultChar);
}

std::string CodePage::AnsiFromUtf8(std::string_view utf8) const {
  std::string ansi;
  for (const char32_t c : CodePointsFromUtf8(utf8)) {
    ansi += AnsiFromCodePoint(c);
  }
  return ansi;
}

std::string CodePage::Utf8FromAnsi(std::string_view ansi) const {
  std::string utf8;
  for (std::size_t i = 0; i < ansi.size(); ++i) {
    const auto byte = static_cast<unsigned char>(ansi[i]);
    if (!lead_[byte]) {
      AppendUtf8(utf8, single_[byte]);
      continue;
    }
    const auto trail = i + 1 < ansi.size() ? static_cast<unsigned char>(ansi[i + 1]) : 0u;
    const auto found = double_.find(static_cast<std::uint16_t>(byte << 8 | trail));
    // A lead byte without its trail byte is one character that cannot be shown.
    AppendUtf8(utf8, found != double_.end() ? found->second : static_cast<char32_t>(kDefaultChar));
    i += found != double_.end() ? 1 : 0;
  }
  return utf8;
}

std::string CodePage::AnsiFromUtf16(std::string_view littleEndianBytes) const {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < littleEndianBytes.size(); i += 2) {
    units.push_back(
        static_cast<char16_t>(static_cast<unsigned char>(littleEndianBytes[i]) |
                              (static_cast<unsigned char>(littleEndianBytes[i + 1]) << 8)));
  }
  std::string ansi;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t c = units[i];
    const bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                      units[i + 1] < 0xE000;
    // A character beyond the first plane is one character, and no code page holds it.
    i += pair ? 1 : 0;
    ansi += pair ? std::string(1, kDefaultChar) : AnsiFromCodePoint(c);
  }
  return ansi;
}

CodePage& CodePageConverter(unsigned number) {
  static std::map<unsigned, std::unique_ptr<CodePage>> converters;
  std::unique_ptr<CodePage>& converter = converters[number];
  if (converter == nullptr) {
    converter = std::make_unique<CodePage>(number);
  }
  return *converter;
}

CodePage& AnsiCodePage() {
  return CodePageConverter(AnsiCodePageFromEnvironment());
}

}  // namespace setwright
