// The windows' shared rules without a window: the command line's split, message wrapping, the
// current row across listings and the pacing of the progress window. The row store is checked
// through the Qt window's table model.
#include <gtest/gtest.h>

#include "lister/desktop/command_line_split.h"
#include "lister/desktop/current_row.h"
#include "lister/desktop/progress_pacer.h"
#include "lister/desktop/row_copy.h"
#include "lister/desktop/text_wrap.h"

namespace {

TEST(SplitCommandLine, BlanksSeparateQuotesGroupAndGo) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"", {}},
      {"  \t ", {}},
      {"T.exe a.spr b", {"T.exe", "a.spr", "b"}},
      {"\"C:\\Program Files\\T.exe\"  -reverse\tx", {"C:\\Program Files\\T.exe", "-reverse", "x"}},
      {"T \"my game\\hero s.spr\" z", {"T", "my game\\hero s.spr", "z"}},
      {"T a\"b c\"d \"\" e\\\"", {"T", "ab cd", "", "e\\"}},
      {"T \"open end", {"T", "open end"}}};
  for (const auto& [line, args] : cases) {
    EXPECT_EQ(lister::SplitCommandLine(line), args) << line;
  }
}

TEST(WrapText, BreaksAtBlanksAndInsideWordsLongerThanALine) {
  // Every character is 1 wide.
  const lister::TextWidth width = [](std::string_view text) {
    return static_cast<int>(text.size());
  };
  // The text, the widest line, the lines.
  const std::tuple<const char*, int, std::vector<std::string>> cases[] = {
      {"", 5, {}},
      {"abc de", 6, {"abc de"}},
      {"abc def", 6, {"abc", "def"}},
      {"abcdefghij k", 4, {"abcd", "efgh", "ij k"}},
      {"ab cdefghij", 4, {"ab", "cdef", "ghij"}},
      {"abcde f", 4, {"abcd", "e f"}},
      {"a bcdef", 4, {"a", "bcde", "f"}},
      {"abc", 0, {"a", "b", "c"}},
      {" ab", 2, {" a", "b"}},
      // Every blank at a break gives way to it; a line of blanks alone keeps one.
      {"abc  def", 4, {"abc", "def"}},
      {"ab   cd", 3, {"ab", "cd"}},
      {"    ab", 1, {" ", "a", "b"}}};
  for (const auto& [text, max, lines] : cases) {
    EXPECT_EQ(lister::WrapText(text, max, width), lines) << text << " " << max;
  }
}

TEST(ChooseCurrentRow, KeepsThePlaceOrStartsAtTheTop) {
  // The row current before, the new table's record rows; the row chosen and whether from the top.
  const std::tuple<std::int64_t, std::int64_t, std::int64_t, bool> cases[] = {
      {0, 0, 0, false},    {5, 0, 0, false},    {0, 10, 1, true},    {-1, 10, 1, true},
      {30, 10, 10, false}, {30, 50, 30, false}, {10, 10, 10, false}, {3, 1, 1, false}};
  for (const auto& [previous, records, row, fromTop] : cases) {
    const lister::CurrentRow chosen = lister::ChooseCurrentRow(previous, records);
    EXPECT_EQ(std::make_pair(chosen.row, chosen.fromTop), std::make_pair(row, fromTop))
        << previous << " " << records;
  }
}

TEST(ProgressPacer, ShowsAfterTheDelayThenAtIntervalsAndAtTheLastRow) {
  using Step = lister::ProgressPacer::Step;
  int now = 0;  // milliseconds
  lister::ProgressPacer pacer(
      [&now] { return std::chrono::steady_clock::time_point(std::chrono::milliseconds(now)); });
  // Each run starts at 0 ms with 1000 rows and its delay; then milliseconds, rows done, the step.
  const std::pair<int, std::vector<std::tuple<int, std::int64_t, Step>>> runs[] = {
      {500,
       {{499, 1, Step::kWait},
        {600, 2, Step::kWait},
        {600, 257, Step::kShow},
        {649, 513, Step::kWait},
        {650, 513, Step::kUpdate},
        {651, 1000, Step::kUpdate}}},
      // The last row the first to read the clock.
      {0, {{10, 1000, Step::kShow}}}};
  for (const auto& [delay, steps] : runs) {
    now = 0;
    pacer.SetDelay(std::chrono::milliseconds(delay));
    pacer.Start(1000);
    for (const auto& [at, rows, step] : steps) {
      now = at;
      EXPECT_EQ(pacer.After(rows), step) << delay << " " << at << " " << rows;
    }
  }
}

// Copied rows paste as a table: one line a row, the header first, cells as the table shows them.
TEST(CopiedRowsText, GivesTheHeaderAndOneLineARowAsShown) {
  lister::RowStore rows;
  rows.Resize(4);
  lister::RecordRow named{.index = 0, .storedSize = 2048, .kind = lister::RowKind::kRecord};
  named.SetName("A\tB\xE9");
  rows.Set(0, named);
  rows.Set(1, {.index = 1});
  rows.Set(2, {.index = 2, .runLength = 1500, .kind = lister::RowKind::kNotListed});
  const std::string header =
      "Number\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\r\n";
  // The rows from `first` to before `end`, how a run is named, the text.
  const std::tuple<std::int64_t, std::int64_t, lister::RunText, std::string> cases[] = {
      {0, 1, lister::RunText::kFull, header + "0\tA B\u00E9\tno\t2048\t\t\r\n"},
      {1, 9, lister::RunText::kShort,
       header + "1\tempty record\t\t\t\t\r\n2\t1500 not listed\t\t\t\t\r\n\t\t\t\t\t\r\n"},
      {-3, 0, lister::RunText::kFull, header},
  };
  for (const auto& [first, end, runText, text] : cases) {
    EXPECT_EQ(lister::CopiedRowsText(rows, first, end, runText, "\r\n"), text) << first;
  }
}

}  // namespace
