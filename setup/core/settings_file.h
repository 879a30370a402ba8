// The game's settings file: where it goes and the 24 lines it holds.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace setwright {

inline constexpr std::size_t kSettingsLineCount = 24;
// Longest settings file path that is written; a longer one is refused rather than cut.
inline constexpr std::size_t kMaxSettingsPathLength = 259;

// The settings file in `windowsDirectory`, which is used as stored: no separator is added or
// removed, so an empty directory gives the root of the current drive.
std::string SettingsFilePath(std::string_view windowsDirectory);

// The settings file's lines, without line ends, for the game in `gameDirectory`.
std::array<std::string, kSettingsLineCount> SettingsFileLines(std::string_view gameDirectory);

}  // namespace setwright
