#include "banner.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace setwright {
namespace {

TEST(Banner, TitleIsTheGameNameAndTheMmxTagAcrossFortyOneColumns) {
  EXPECT_EQ(BannerLines()[0], "Gorblunk Setup                      [MMX]");
}

TEST(Banner, LogoLinesHaveTheirWidthsInPrintableAsciiWithoutTrailingBlanks) {
  constexpr std::size_t kWidths[kBannerLineCount] = {41, 39, 41, 41, 41, 41, 41};
  for (std::size_t i = 0; i < kBannerLineCount; ++i) {
    const std::string_view line = BannerLines()[i];
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(line.size(), kWidths[i]);
    EXPECT_NE(line.back(), ' ');
    EXPECT_TRUE(
        std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
  }
}

}  // namespace
}  // namespace setwright
