// DOS paths made absolute and normalised by the rules Windows (and Wine) apply before a file is
// opened, so that a path names the same file in both builds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace setwright {

struct DosPath {
  // Non-zero when the path cannot name a file on a drive: 123 for an invalid name, 3 for a
  // network or device path.
  std::int32_t errorCode = 0;
  char drive = 'C';  // as written
  // The names below the drive's root, in order; an empty last name stands for a path that ends
  // with a backslash.
  std::vector<std::string> names;
};

// Resolves `path` against `currentDirectory`, a drive-qualified absolute path: a path without a
// drive is on the current drive, a relative one below the current directory. Slashes count as
// backslashes, runs of separators as one; "." and ".." steps are taken (never above the root);
// a directory name loses one trailing dot, and the path its trailing dots and spaces.
DosPath ResolveDosPath(std::string_view path, std::string_view currentDirectory);

}  // namespace setwright
