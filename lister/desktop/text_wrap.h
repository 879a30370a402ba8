// Breaking a message into lines no wider than a given width, for boxes that show it whole: the
// error box of every window toolkit.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lister {

// The width of a text in pixels, as the box's font draws it.
template <typename Char>
using TextWidthOf = std::function<int(std::basic_string_view<Char>)>;
using TextWidth = TextWidthOf<char>;

// Lines break after the last blank that still lets the line fit; a word wider than a whole line
// breaks inside itself after as many characters as fit (at least one), so nothing is cut off.
// The blanks at a break give way to it, those ending the line and those that would start the
// next; every other character appears once, in order. `Char` is char for byte texts in the
// system's code page and char32_t for Unicode texts, so a break never falls inside a character.
template <typename Char>
std::vector<std::basic_string<Char>> WrapText(std::basic_string_view<Char> text, int maxWidth,
                                              const TextWidthOf<Char>& width);

inline std::vector<std::string> WrapText(std::string_view text, int maxWidth,
                                         const TextWidth& width) {
  return WrapText<char>(text, maxWidth, width);
}

}  // namespace lister
