#include "current_row.h"

#include <gtest/gtest.h>

namespace lister::window {
namespace {

struct Case {
  const char* what;
  std::int64_t previousRow;
  std::int64_t recordRows;
  std::int64_t row;
  bool fromTop;
};

TEST(ChooseCurrentRowTest, FollowsTheRowAcrossListings) {
  const Case cases[] = {
      {"first listing", 0, 12, 1, true},
      {"after a failed listing", 0, 50, 1, true},
      {"the new table still has the row", 30, 50, 30, false},
      {"the new table ends at the row", 30, 30, 30, false},
      {"the new table is shorter", 30, 10, 10, false},
      {"a failed listing", 30, 0, 0, false},
      {"a listing without records", 5, 0, 0, false},
  };
  for (const Case& c : cases) {
    const CurrentRow chosen = ChooseCurrentRow(c.previousRow, c.recordRows);
    EXPECT_EQ(chosen.row, c.row) << c.what;
    EXPECT_EQ(chosen.fromTop, c.fromTop) << c.what;
  }
}

}  // namespace
}  // namespace lister::window
