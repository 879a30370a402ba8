#include "path_text.h"

#include <gtest/gtest.h>

#include "ansi_text.h"

namespace {

TEST(SplitPathTest, SplitsAtTheLastDelimiter) {
  struct Case {
    const char* path;
    const char* directory;
    const char* baseName;
    const char* extension;
  };
  const Case cases[] = {
      {"C:\\GAMES\\DATA\\HERO.SPR", "C:\\GAMES\\DATA\\", "HERO", ".SPR"},
      {"D:HERO", "D:", "HERO", ""},
      {"a.b\\c", "a.b\\", "c", ""},
      {"/home/ann/data/hero.spr", "/home/ann/data/", "hero", ".spr"},
      {"C:/GAMES/HERO.SPR", "C:/GAMES/", "HERO", ".SPR"},
      {"archive.tar.gz", "", "archive.tar", ".gz"},
      {".hidden", "", "", ".hidden"},
      {"dir\\", "dir\\", "", ""},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    const archive::PathParts parts = archive::SplitPath(c.path);
    EXPECT_EQ(parts.directory, c.directory) << c.path;
    EXPECT_EQ(parts.baseName, c.baseName) << c.path;
    EXPECT_EQ(parts.extension, c.extension) << c.path;
  }
}

TEST(SplitPathTest, NameIsCutAt255Characters) {
  const std::string name = std::string(300, 'n') + ".spr";
  const archive::PathParts parts = archive::SplitPath("C:\\" + name);
  EXPECT_EQ(parts.baseName + parts.extension, std::string(255, 'n'));
  EXPECT_EQ(parts.extension, "");
}

TEST(ZeroPaddedTest, GivesTheLowestDigitsWithLeadingZeros) {
  struct Case {
    std::int64_t value;
    int digits;
    const char* text;
  };
  const Case cases[] = {
      {5, 3, "005"},         {456, 3, "456"},         {1500, 3, "500"},
      {0, 3, "000"},         {999, 3, "999"},         {42, 10, "1000000042"},
      {7, 1, "7"},           {123456789, 5, "56789"}, {2000000000, 3, "000"},
      {-5, 3, "995"},        {0, 12, "001000000000"}, {INT64_MAX, 4, "5807"},
      {INT64_MIN, 3, "808"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(archive::ZeroPadded(c.value, c.digits), c.text) << c.value << "/" << c.digits;
  }
}

TEST(AnsiToUtf8Test, ConvertsWindows1252) {
  struct Case {
    std::string ansi;
    std::string utf8;
  };
  const Case cases[] = {
      {"PLAIN.SPR", "PLAIN.SPR"},
      {"CAF\xC9", "CAF\xC3\x89"},
      {"\x80", "\xE2\x82\xAC"},
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
      {"\x9F\xFF", "\xC5\xB8\xC3\xBF"},
      {std::string("A\0B", 3), std::string("A\0B", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(archive::AnsiToUtf8(c.ansi), c.utf8);
  }
}

}  // namespace
