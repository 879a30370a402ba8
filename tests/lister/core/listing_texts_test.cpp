#include "listing_texts.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatPermilleTest, TenthsOfAPercent) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {1000, " 100"}, {-1, "   0"},  {-999999, "   0"}, {456, "45.6"},  {5, "00.5"},
      {0, "00.0"},    {999, "99.9"}, {1500, "50.0"},    {1001, "00.1"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(lister::FormatPermille(value), text) << value;
  }
}

TEST(SavedPermilleTest, TruncatesTowardZeroWithoutOverflow) {
  struct Case {
    std::int64_t compressed;
    std::int64_t uncompressed;
    std::int64_t saved;
  };
  const Case cases[] = {
      {8000, 15000, 467},
      {3000, 10000, 700},
      {3000, 2000, -500},
      {0, 5, 1000},
      {5, 0, -1},
      {-7, 2, 4500},
      {100, -1000, 1100},
      {4'000'000'000'000'000'000, 4'000'000'000'000'000'000, 0},
      {9'000'000'000'000'000'000, -1, 1'000'000'000'000'000'000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lister::SavedPermille(c.compressed, c.uncompressed), c.saved)
        << c.compressed << "/" << c.uncompressed;
  }
  // Far out of range the lowest digits still match the exact value's.
  EXPECT_EQ(lister::FormatPermille(lister::SavedPermille(9'000'000'000'000'000'000, -7)), "28.5");
}

TEST(ListingTextsTest, FixedTexts) {
  EXPECT_EQ(lister::FieldNamesText(),
            "Archive title:\rVersion number:\rTotal number of records:\r"
            "Total uncompressed length:\rTotal compressed length:");
  EXPECT_EQ(lister::NotAnArchiveMessage("hero.spr"), "HERO.SPR is not a valid archive file.");
  EXPECT_EQ(lister::NotAnArchiveMessage("\xe9t\xc9.{z}"),
            "\xe9T\xc9.{Z} is not a valid archive file.");
  EXPECT_EQ(lister::CaptionFor("a.map"), "Trovanta (a.map)");
}

}  // namespace
