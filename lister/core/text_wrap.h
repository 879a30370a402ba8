// Breaking a message into lines no wider than a given width, for boxes that show it whole.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lister {

// The width of a text in pixels, as the box's font draws it.
using TextWidth = std::function<int(std::string_view)>;

// Lines break after the last blank that still lets the line fit; a word wider than a whole line
// breaks inside itself after as many characters as fit (at least one), so nothing is cut off.
// The blank at a break is dropped; every other character appears once, in order.
std::vector<std::string> WrapText(std::string_view text, int maxWidth, const TextWidth& width);

}  // namespace lister
