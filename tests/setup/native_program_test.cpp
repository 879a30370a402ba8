// The native Setwright program as a user runs it: in a game folder of a Wine prefix made here by
// hand, its registry hive written by the test.
#include <gtest/gtest.h>

#include "test_support.h"

namespace fs = std::filesystem;

namespace setwright {
namespace {

class NativeProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix_ / "dosdevices");
    fs::create_directories(game_);
    fs::create_directories(prefix_ / "drive_c" / "WIN");
    fs::create_symlink("../drive_c", prefix_ / "dosdevices" / "c:");
  }

  testing::ProcessResult Run(const std::string& systemRootLine) {
    testing::WriteFile(prefix_ / "system.reg", testing::HiveWithValues(systemRootLine));
    return testing::RunProcess({SETWRIGHT_NATIVE}, game_, {{"WINEPREFIX", prefix_.string()}});
  }

  testing::TempFolder folder_;
  fs::path prefix_ = folder_.Path() / "prefix";
  fs::path game_ = prefix_ / "drive_c" / "Games" / "Gorblunk";
  fs::path settings_ = prefix_ / "drive_c" / "WIN" / "Gorblunk.Ini";
};

TEST_F(NativeProgram, WritesTheSettingsFileIntoTheWindowsDirectoryOfThePrefix) {
  const auto result = Run("\"SystemRoot\"=\"C:\\\\WIN\"\n");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.output, testing::BannerText());
  const std::string settings = testing::ReadFile(settings_);
  EXPECT_EQ(settings.size(), 346u + 3 * std::string("C:\\Games\\Gorblunk").size());
  EXPECT_TRUE(settings.starts_with("[Gorblunk]\r\nLanguage=0\r\nHDDir=C:\\Games\\Gorblunk\r\n"))
      << settings;
}

TEST_F(NativeProgram, ReportsAWindowsDirectoryOfTheWrongTypeAndWritesNothing) {
  const auto result = Run("\"SystemRoot\"=dword:00000001\n");
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.output, testing::BannerText() +
                               "Exception ERegistryException in module Setwright at 00402120.\n"
                               "Invalid data type for 'SystemRoot'.\r\n");
  EXPECT_FALSE(fs::exists(settings_));
}

}  // namespace
}  // namespace setwright
