// The windows' shared logic: the command line's split, message wrapping, the current row.
#include <gtest/gtest.h>

#include "command_line_split.h"
#include "current_row.h"
#include "text_wrap.h"

namespace lister {
namespace {

TEST(SplitCommandLine, BlanksSeparateQuotesGroupAndGo) {
  const struct {
    const char* line;
    std::vector<std::string> args;
  } cases[] = {
      {"", {}},
      {"  \t ", {}},
      {"T.exe a.spr b", {"T.exe", "a.spr", "b"}},
      {"\"C:\\Program Files\\T.exe\"  -reverse\tx", {"C:\\Program Files\\T.exe", "-reverse", "x"}},
      {"T \"my game\\hero s.spr\" z", {"T", "my game\\hero s.spr", "z"}},
      {"T a\"b c\"d \"\" e\\\"", {"T", "ab cd", "", "e\\"}},
      {"T \"open end", {"T", "open end"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
  }
}

TEST(WrapText, BreaksAtBlanksAndInsideWordsLongerThanALine) {
  // Every character is 1 wide.
  const TextWidth width = [](std::string_view text) { return static_cast<int>(text.size()); };
  const struct {
    const char* text;
    int max;
    std::vector<std::string> lines;
  } cases[] = {
      {"", 5, {}},
      {"abc de", 6, {"abc de"}},
      {"abc def", 6, {"abc", "def"}},
      {"abcdefghij k", 4, {"abcd", "efgh", "ij k"}},
      {"ab cdefghij", 4, {"ab", "cdef", "ghij"}},
      {"abcde f", 4, {"abcd", "e f"}},
      {"a bcdef", 4, {"a", "bcde", "f"}},
      {"abc", 0, {"a", "b", "c"}},
      {" ab", 2, {" a", "b"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WrapText(c.text, c.max, width), c.lines) << c.text << " " << c.max;
  }
}

TEST(ChooseCurrentRow, KeepsThePlaceOrStartsAtTheTop) {
  const struct {
    std::int64_t previous, records, row;
    bool fromTop;
  } cases[] = {{0, 0, 0, false},    {5, 0, 0, false},    {0, 10, 1, true},   {-1, 10, 1, true},
               {30, 10, 10, false}, {30, 50, 30, false}, {10, 10, 10, false}};
  for (const auto& c : cases) {
    const CurrentRow row = ChooseCurrentRow(c.previous, c.records);
    EXPECT_EQ(std::make_pair(row.row, row.fromTop), std::make_pair(c.row, c.fromTop))
        << c.previous << " " << c.records;
  }
}

}  // namespace
}  // namespace lister
