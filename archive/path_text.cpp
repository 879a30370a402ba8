#include "archive/path_text.h"

#include <algorithm>

namespace archive {

namespace {
constexpr std::size_t kMaxNamePart = 255;
constexpr std::string_view kDelimiters = "\\:/";
}  // namespace

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  const std::size_t lastDelimiter = path.find_last_of(kDelimiters);
  std::string_view name = path;
  if (lastDelimiter != std::string_view::npos) {
    parts.directory = std::string(path.substr(0, lastDelimiter + 1));
    name = path.substr(lastDelimiter + 1);
  }
  name = name.substr(0, kMaxNamePart);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) {
    parts.baseName = std::string(name);
  } else {
    parts.baseName = std::string(name.substr(0, dot));
    parts.extension = std::string(name.substr(dot, kMaxNamePart));
  }
  return parts;
}

std::string ZeroPadded(std::int64_t value, int digits) {
  if (digits <= 0) {
    return {};
  }
  // The sum of a non-negative value is formed unsigned, so that it cannot overflow.
  std::string text = value >= 0 ? std::to_string(static_cast<std::uint64_t>(value) + 1'000'000'000u)
                                : std::to_string(value + 1'000'000'000);
  const auto wanted = static_cast<std::size_t>(digits);
  if (text.size() < wanted) {
    text.insert(0, wanted - text.size(), '0');
  }
  return text.substr(text.size() - wanted);
}

}  // namespace archive
