#include "setup_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

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

std::string FirstBannerLines(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text.append(BannerLines()[i]);
    text.append("\r\n");
  }
  return text;
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

struct FaultCase {
  std::string step;
  FakePlatform::Fault fault;
  std::size_t bannerLinesShown;
  std::string report;
};

std::vector<FaultCase> FaultCases() {
  std::vector<FaultCase> cases;
  const char* bannerPositions[] = {"00401010", "00401020", "00401030", "00401040",
                                   "00401050", "00401060", "00401070"};
  for (int line = 1; line <= 7; ++line) {
    cases.push_back({"BannerLine" + std::to_string(line),
                     {Operation::kConsoleWrite, line, 5},
                     static_cast<std::size_t>(line - 1),
                     std::string("Exception EInOutError in module Setwright at ") +
                         bannerPositions[line - 1] + ".\nFile access denied.\r\n"});
  }
  cases.push_back(
      {"Create",
       {Operation::kCreate, 1, 3},
       7,
       "Exception EInOutError in module Setwright at 00403000.\nInvalid filename.\r\n"});
  const char* linePositions[] = {"00403010", "00403020", "00403030", "00403040", "00403050",
                                 "00403060", "00403070", "00403080", "00403090", "004030A0",
                                 "004030B0", "004030C0", "004030D0", "004030E0", "004030F0",
                                 "00403100", "00403110", "00403120", "00403130", "00403140",
                                 "00403150", "00403160", "00403170", "00403180"};
  for (int line = 1; line <= 24; ++line) {
    cases.push_back({"SettingsLine" + std::to_string(line),
                     {Operation::kFileWrite, line, 112},
                     7,
                     std::string("Exception EInOutError in module Setwright at ") +
                         linePositions[line - 1] + ".\nI/O error 112.\r\n"});
  }
  cases.push_back({"Close",
                   {Operation::kClose, 1, 101},
                   7,
                   "Exception EInOutError in module Setwright at 00403200.\nDisk full.\r\n"});
  return cases;
}

const std::map<Operation, std::string> kCallNames = {{Operation::kConsoleWrite, "console"},
                                                     {Operation::kCreate, "create"},
                                                     {Operation::kFileWrite, "write"},
                                                     {Operation::kClose, "close"}};

class FailingStep : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FailingStep, IsReportedAfterWhatWasPrintedAndLeavesTheOldSettingsFile) {
  FakePlatform platform;
  platform.files[kSettingsPath] = kOldSettings;
  platform.fault = GetParam().fault;
  EXPECT_EQ(RunSetup(platform, "Setwright"), 1);
  EXPECT_EQ(platform.console, FirstBannerLines(GetParam().bannerLinesShown) + GetParam().report);
  EXPECT_EQ(platform.files.size(), 1u);
  EXPECT_EQ(platform.files[kSettingsPath], kOldSettings);
  EXPECT_FALSE(platform.newFilePath.has_value()) << "the new file was left behind";
  // The run stops at the failing call: only the clean-up of a new file and the report follow.
  const Operation failed = GetParam().fault.operation;
  std::vector<std::string> tail = {kCallNames.at(failed)};
  if (failed == Operation::kFileWrite || failed == Operation::kClose) {
    tail.emplace_back("discard");
  }
  tail.emplace_back("console");
  ASSERT_GE(platform.calls.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(platform.calls.end() - static_cast<long>(tail.size()),
                                     platform.calls.end()),
            tail);
  EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), kCallNames.at(failed)),
            GetParam().fault.occurrence + (failed == Operation::kConsoleWrite ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, FailingStep, ::testing::ValuesIn(FaultCases()),
                         [](const auto& info) { return info.param.step; });

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
