#include "setup/core/banner.h"

namespace setwright {

const std::array<std::string_view, kBannerLineCount>& BannerLines() {
  // A castle wall with the game's name; widths 41, 39, 41, 41, 41, 41, 41.
  static constexpr std::array<std::string_view, kBannerLineCount> kLines = {
      "Gorblunk Setup                      [MMX]", "  _   _   _   _   _   _   _   _   _   _",
      "_| |_| |_| |_| |_| |_| |_| |_| |_| |_| |_", "|     G   O   R   B   L   U   N   K     |",
      "|      []         .---.         []      |", "|                 |   |                 |",
      "|_________________|___|_________________|",
  };
  return kLines;
}

}  // namespace setwright
