// The banner that every run prints first: a title line and a six-line logo, 41 columns wide.
#pragma once

#include <array>
#include <string_view>

namespace setwright {

inline constexpr std::size_t kBannerLineCount = 7;

// The banner lines without their line ends.
const std::array<std::string_view, kBannerLineCount>& BannerLines();

}  // namespace setwright
