#include "setup_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "banner.h"
#include "code_position.h"
#include "failure_report.h"
#include "fake_platform.h"
#include "test_support.h"

namespace setwright {
namespace {

using testing::BannerText;
using testing::FakePlatform;
using Operation = FakePlatform::Operation;

constexpr char kSettingsPath[] = "C:\\WINDOWS\\Gorblunk.Ini";
constexpr char kOldSettings[] = "[Gorblunk]\r\nLanguage=2\r\nVolume=12\r\n";

// The settings file with lines 3 to 5 as given; the other 21 lines never change.
std::string SettingsFile(const std::string& line3, const std::string& line4,
                         const std::string& line5) {
  return "[Gorblunk]\r\nLanguage=0\r\n" + line3 + "\r\n" + line4 + "\r\n" + line5 +
         "\r\n"
         "GameDetail=3\r\nGameStats=2\r\nWindowW=1152\r\nWindowH=864\r\nDisplayMode=1\r\n"
         "WaitForRetrace=1\r\nFrameRate=0\r\nGammaCorrection=4\r\nBufferLength=-1\r\n"
         "Volume=256\r\nnVoices=16\r\nStereo=1\r\nUp=38\r\nDown=40\r\nLeft=37\r\nRight=39\r\n"
         "LeftShoot=45\r\nRightShoot=32\r\nSwitchWeapon=9\r\n";
}

TEST(SetupRun, PrintsTheBannerReplacesTheSettingsFileAndExitsWithZero) {
  FakePlatform platform;
  platform.files[kSettingsPath] = kOldSettings;
  EXPECT_EQ(RunSetup(platform, "Setwright"), 0);
  EXPECT_EQ(platform.console, BannerText());
  EXPECT_EQ(platform.files[kSettingsPath],
            SettingsFile("HDDir=C:\\GAMES\\GORBLUNK", "GameExe=C:\\GAMES\\GORBLUNK\\GkLaunch.Exe",
                         "BrindelEXE=C:\\GAMES\\GORBLUNK\\Bin\\Brindel.Kit\\Brindel.Exe"));
  EXPECT_FALSE(platform.newFilePath.has_value());
}

TEST(SetupRun, ReadsTheDirectoryBeforeTheRegistryAndChecksEveryLine) {
  FakePlatform platform;
  ASSERT_EQ(RunSetup(platform, "Setwright"), 0);
  std::vector<std::string> expected(kBannerLineCount, "console");
  expected.insert(expected.end(), {"directory", "registry", "create"});
  expected.insert(expected.end(), 24, "write");
  expected.emplace_back("close");
  EXPECT_EQ(platform.calls, expected);
}

struct BytesCase {
  const char* gameDirectory;
  const char* line3;
  const char* line4;
  const char* line5;
  std::size_t size;
};

class SettingsFileBytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(SettingsFileBytes, AreTheTwentyFourLinesWithTheGameDirectoryInThree) {
  FakePlatform platform;
  platform.currentDirectory = GetParam().gameDirectory;
  ASSERT_EQ(RunSetup(platform, "Setwright"), 0);
  const std::string& bytes = platform.files[kSettingsPath];
  EXPECT_EQ(bytes, SettingsFile(GetParam().line3, GetParam().line4, GetParam().line5));
  EXPECT_EQ(bytes.size(), GetParam().size);
  EXPECT_EQ(bytes.size(), 346 + 3 * std::string_view(GetParam().gameDirectory).size());
}

INSTANTIATE_TEST_SUITE_P(
    Directories, SettingsFileBytes,
    ::testing::Values(BytesCase{"D:\\PLAY", "HDDir=D:\\PLAY", "GameExe=D:\\PLAY\\GkLaunch.Exe",
                                "BrindelEXE=D:\\PLAY\\Bin\\Brindel.Kit\\Brindel.Exe", 367},
                      BytesCase{"C:\\", "HDDir=C:\\", "GameExe=C:\\\\GkLaunch.Exe",
                                "BrindelEXE=C:\\\\Bin\\Brindel.Kit\\Brindel.Exe", 355}));

// A failure at each step with an I/O check, with each kind of code: fault_sweep_test.cpp.

TEST(SetupRun, ReportsARegistryFailureWithoutTouchingAnyFile) {
  FakePlatform platform;
  platform.systemRoot = []() -> std::string {
    throw ERegistryException("Failed to get data for 'SystemRoot'", position::kRegistryData);
  };
  EXPECT_EQ(RunSetup(platform, "Setwright.exe"), 1);
  EXPECT_EQ(platform.console, BannerText() +
                                  "Exception ERegistryException in module Setwright.exe at "
                                  "00402110.\nFailed to get data for 'SystemRoot'.\r\n");
  EXPECT_TRUE(platform.files.empty());
  EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "create"), 0);
}

TEST(SetupRun, StopsBeforeTheRegistryWhenTheCurrentDirectoryIsUnusable) {
  FakePlatform platform;
  platform.currentDirectoryError = 206;
  EXPECT_EQ(RunSetup(platform, "Setwright"), 1);
  EXPECT_EQ(
      platform.console,
      BannerText() + "Exception EInOutError in module Setwright at 00402000.\nI/O error 206.\r\n");
  EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "registry"), 0);
}

TEST(SetupRun, ExitsWithOneWhenStandardOutputCannotBeWrittenAtAll) {
  FakePlatform platform;
  platform.fault = FakePlatform::Fault{Operation::kConsoleWrite, 1, 6, true};
  EXPECT_EQ(RunSetup(platform, "Setwright"), 1);
  EXPECT_EQ(platform.console, "");
  EXPECT_TRUE(platform.files.empty());
}

struct PathCase {
  std::string windowsDirectory;
  std::string settingsPath;  // empty: the path is refused
};

class SettingsPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(SettingsPath, IsTheWindowsDirectoryAsStoredOrRefusedWhenTooLong) {
  FakePlatform platform;
  platform.systemRoot = [] { return GetParam().windowsDirectory; };
  const int status = RunSetup(platform, "Setwright");
  if (GetParam().settingsPath.empty()) {
    EXPECT_EQ(status, 1);
    EXPECT_EQ(platform.console, BannerText() +
                                    "Exception EInOutError in module Setwright at 00403000.\n"
                                    "Invalid filename.\r\n");
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "create"), 0);
    EXPECT_TRUE(platform.files.empty());
  } else {
    EXPECT_EQ(status, 0);
    ASSERT_EQ(platform.files.size(), 1u);
    EXPECT_EQ(platform.files.begin()->first, GetParam().settingsPath);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsPath,
                         ::testing::Values(PathCase{"C:\\WIN\\", "C:\\WIN\\\\Gorblunk.Ini"},
                                           PathCase{"", "\\Gorblunk.Ini"},
                                           PathCase{"%SystemRoot%", "%SystemRoot%\\Gorblunk.Ini"},
                                           // 246 + 13 = 259 characters: the longest path written.
                                           PathCase{
                                               "C:\\" + std::string(243, 'w'),
                                               "C:\\" + std::string(243, 'w') + "\\Gorblunk.Ini"},
                                           PathCase{"C:\\" + std::string(244, 'w'), ""}));

}  // namespace
}  // namespace setwright
