#include "lister/desktop/text_wrap.h"

namespace lister {

template <typename Char>
std::vector<std::basic_string<Char>> WrapText(std::basic_string_view<Char> text, int maxWidth,
                                              const TextWidthOf<Char>& width) {
  constexpr Char kBlank = ' ';
  std::vector<std::basic_string<Char>> lines;
  while (!text.empty()) {
    // The longest prefix that fits, at least one character.
    std::size_t fit = 1;
    while (fit < text.size() && width(text.substr(0, fit + 1)) <= maxWidth) {
      ++fit;
    }
    if (fit == text.size()) {
      lines.emplace_back(text);
      break;
    }
    const std::size_t blank = text.substr(0, fit + 1).find_last_of(kBlank);
    std::size_t end = fit;
    std::size_t next = fit;
    if (blank != std::basic_string_view<Char>::npos && blank > 0) {
      end = blank;
      next = blank;
    }
    if (text[next] == kBlank) {
      const std::size_t word = text.find_first_not_of(kBlank, next);
      next = word == std::basic_string_view<Char>::npos ? text.size() : word;
      const std::size_t lastKept = text.substr(0, end).find_last_not_of(kBlank);
      // A line of blanks alone keeps its first, as a line holds at least one character.
      end = lastKept == std::basic_string_view<Char>::npos ? 1 : lastKept + 1;
    }
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(next);
  }
  return lines;
}

template std::vector<std::string> WrapText<char>(std::string_view, int, const TextWidth&);
template std::vector<std::u32string> WrapText<char32_t>(std::u32string_view, int,
                                                        const TextWidthOf<char32_t>&);

}  // namespace lister
