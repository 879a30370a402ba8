// Making UTF-8 text safe for a terminal or a tab-separated stream.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lister::cli {

// Replaces every control character (C0, DEL and C1) with "\xHH", so that none reaches a
// terminal raw. With `escapeSeparators`, a backslash also becomes "\\", which keeps such a
// stream unambiguous.
std::string EscapeControls(std::string_view utf8, bool escapeSeparators = false);

// Columns taken by UTF-8 text whose characters are each one column wide.
std::size_t DisplayWidth(std::string_view utf8);

}  // namespace lister::cli
