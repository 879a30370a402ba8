#include "ansi_code_page.h"

#include <gtest/gtest.h>

namespace setwright {
namespace {

TEST(AnsiCodePage, MapsUnixNamesToWindows1252AndBack) {
  // é is in ISO 8859-1's part, € and Š in the block that Windows-1252 has of its own.
  const std::string utf8 = "Jeux/\xC3\xA9p\xE2\x82\xAC\xC5\xA0";
  const std::string ansi = "Jeux/\xE9p\x80\x8A";
  EXPECT_EQ(AnsiFromUtf8(utf8), ansi);
  EXPECT_EQ(Utf8FromAnsi(ansi), utf8);
}

TEST(AnsiCodePage, GivesAQuestionMarkForWhatItCannotHoldOrDecode) {
  EXPECT_EQ(AnsiFromUtf8("\xE4\xB8\xAD!"), "?!");  // a CJK character
  EXPECT_EQ(AnsiFromUtf8("a\xFF"
                         "b\xC3"),
            "a?b?");  // invalid and cut-off UTF-8
  EXPECT_EQ(AnsiFromUtf16(std::string("A\0\xAC\x20\x2D\x4E", 6)), "A\x80?");
}

TEST(AnsiCodePage, KeepsTheFiveBytesThatWindows1252LeavesUndefined) {
  for (const char c : std::string("\x81\x8D\x8F\x90\x9D")) {
    EXPECT_EQ(AnsiFromUtf8(Utf8FromAnsi(std::string(1, c))), std::string(1, c));
  }
}

TEST(AnsiCodePage, MatchesNamesIgnoringCaseInAsciiAndBeyond) {
  EXPECT_TRUE(AnsiEqualIgnoringCase("Gorblunk.Ini", "GORBLUNK.INI"));
  EXPECT_TRUE(AnsiEqualIgnoringCase("\xE9t\xE9", "\xC9T\xC9"));  // été, ÉTÉ
  EXPECT_TRUE(AnsiEqualIgnoringCase("\x9A\xFF", "\x8A\x9F"));    // šÿ, ŠŸ
  EXPECT_FALSE(AnsiEqualIgnoringCase("\xF7", "\xD7"));           // ÷ and × are no pair
  EXPECT_FALSE(AnsiEqualIgnoringCase("Gorblunk.Ini", "Gorblunk.In"));
}

}  // namespace
}  // namespace setwright
