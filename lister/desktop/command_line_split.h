// The program's own reading of its command line, the same on every system: blanks (spaces and
// tabs) separate arguments, and double quotes group blanks into one argument and are removed.
// Nothing else is special: a backslash is an ordinary character, and an argument that looks like
// an option is an argument like any other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lister {

std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace lister
