// Values in a registry hive as Wine keeps it on disk (system.reg): a text file of [key] lines,
// each followed by "name"=data lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace setwright {

struct HiveValue {
  std::uint32_t type = 0;
  // The bytes as the registry holds them: text as UTF-16 code units, little-endian, with the
  // terminating NUL that Wine adds to a quoted string.
  std::string data;
};

// The value `valueName` of the key `keyPath` (backslash-separated, no leading or trailing
// backslash; both in UTF-8) in the hive text `hive`; names of keys and values match ignoring the
// case of ASCII letters. Nothing when
// the text is no Wine hive or holds no such key or value, or the value's data cannot be read.
// Reads the whole hive file at `path` into `text`; returns 0 or the errno of the failed open or
// read.
int ReadHiveFile(const std::filesystem::path& path, std::string& text);

std::optional<HiveValue> FindHiveValue(std::string_view hive, std::string_view keyPath,
                                       std::string_view valueName);

}  // namespace setwright
