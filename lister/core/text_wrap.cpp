#include "text_wrap.h"

namespace lister {

std::vector<std::string> WrapText(std::string_view text, int maxWidth, const TextWidth& width) {
  std::vector<std::string> lines;
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
    const std::size_t blank = text.substr(0, fit + 1).find_last_of(' ');
    const bool atBlank = blank != std::string_view::npos && blank > 0;
    const std::size_t end = atBlank ? blank : fit;
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(atBlank ? end + 1 : end);
  }
  return lines;
}

}  // namespace lister
