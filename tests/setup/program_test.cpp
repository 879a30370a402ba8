// The native Setwright program as a user runs it, in the game folder of a Wine prefix.
#include <gtest/gtest.h>

#include "process.h"
#include "setup_fixtures.h"

namespace setwright {
namespace {

using testing_support::Output;
using testing_support::ReadFile;
using testing_support::RunProcess;

TEST(Program, WritesTheSettingsFileIntoTheWindowsDirectoryOfThePrefix) {
  const testing::WinePrefix wine;
  const auto result =
      RunProcess({SETWRIGHT_NATIVE}, wine.game, {{"WINEPREFIX", wine.prefix.string()}});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.output, testing::kBanner);
  EXPECT_EQ(ReadFile(wine.settings), testing::kSettingsFile);
}

TEST(Program, ReportsAWindowsDirectoryOfTheWrongTypeAndKeepsTheEarlierFile) {
  const testing::WinePrefix wine;
  wine.WriteHive("\"SystemRoot\"=dword:00000001\n");
  const auto result =
      RunProcess({SETWRIGHT_NATIVE}, wine.game, {{"WINEPREFIX", wine.prefix.string()}});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.output, std::string(testing::kBanner) +
                               "Exception ERegistryException in module Setwright at 00402120.\n"
                               "Invalid data type for 'SystemRoot'.\r\n");
  EXPECT_EQ(ReadFile(wine.settings), testing::kOldSettings);
}

// `Setwright | true`: a closed pipe is an output error that ends the run with 1, not a signal.
TEST(Program, ExitsWithOneIntoAClosedPipeAndWritesNothing) {
  const testing::WinePrefix wine;
  const auto result = RunProcess({SETWRIGHT_NATIVE}, wine.game,
                                 {{"WINEPREFIX", wine.prefix.string()}}, Output::kClosed);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(ReadFile(wine.settings), testing::kOldSettings);
}

}  // namespace
}  // namespace setwright
