// Small text routines shared by the library's users: splitting an archive path into its parts
// and zero-padded decimal digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace archive {

struct PathParts {
  std::string directory;  // up to and including the last delimiter; empty without one
  std::string baseName;   // the name without its extension
  std::string extension;  // from the name's last ".", dot included; empty without one
};

// Delimiters are "\", ":" and also "/", so that POSIX paths and forward-slash Windows paths
// yield their last component too. The name and the extension hold at most 255 characters each.
PathParts SplitPath(std::string_view path);

// The last `digits` characters of the decimal text of value + 1,000,000,000: for 0 to
// 999,999,999 the value's lowest digits with leading zeros. Outside that range the sum is
// formed in 64 bits and a text shorter than `digits` is padded with zeros on the left.
std::string ZeroPadded(std::int64_t value, int digits);

}  // namespace archive
