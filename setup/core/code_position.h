// Code positions printed in failure reports. Each step that can fail has a position of its own,
// fixed in the source rather than taken from the machine, so a report tells exactly which step
// failed, the same from run to run, and both builds print the same report for the same failure.
#pragma once

#include <cstdint>

namespace setwright::position {

// `line` counts from 1.
constexpr std::uint32_t BannerLine(int line) {
  return 0x00401000u + 0x10u * static_cast<std::uint32_t>(line);
}
inline constexpr std::uint32_t kCurrentDirectory = 0x00402000u;
inline constexpr std::uint32_t kRegistryData = 0x00402110u;
inline constexpr std::uint32_t kRegistryType = 0x00402120u;
inline constexpr std::uint32_t kCreate = 0x00403000u;
// `line` counts from 1.
constexpr std::uint32_t SettingsLine(int line) {
  return kCreate + 0x10u * static_cast<std::uint32_t>(line);
}
inline constexpr std::uint32_t kClose = 0x00403200u;

}  // namespace setwright::position
