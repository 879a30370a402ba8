#include "platform_wine.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "test_support.h"

namespace fs = std::filesystem;

namespace setwright {
namespace {

using testing::WorkingDirectory;

// A prefix with c: on its drive_c, which holds WIN\Gorblunk.Ini, and z: on the root.
class WinePlatformFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix_ / "dosdevices");
    fs::create_directories(win_);
    fs::create_symlink("../drive_c", prefix_ / "dosdevices" / "c:");
    fs::create_symlink("/", prefix_ / "dosdevices" / "z:");
    testing::WriteFile(win_ / "Gorblunk.Ini", kOld);
  }

  // Every path below drive_c.
  std::set<fs::path> DriveContents() const {
    std::set<fs::path> paths;
    for (const auto& entry : fs::recursive_directory_iterator(prefix_ / "drive_c")) {
      paths.insert(entry.path());
    }
    return paths;
  }

  static constexpr char kOld[] = "[Gorblunk]\r\nLanguage=3\r\n";
  testing::TempFolder folder_;
  fs::path prefix_ = folder_.Path() / "prefix";
  fs::path win_ = prefix_ / "drive_c" / "WIN";
};

TEST_F(WinePlatformFiles, ReplaceTheSettingsFileOnlyOnceClosed) {
  WinePlatform platform(prefix_);
  ASSERT_EQ(platform.CreateSettingsFile("C:\\win\\GORBLUNK.INI"), 0);
  ASSERT_EQ(platform.WriteSettingsFile(std::string(200, 'n')), 0);
  EXPECT_EQ(testing::ReadFile(win_ / "Gorblunk.Ini"), kOld);
  ASSERT_EQ(platform.CloseSettingsFile(), 0);
  EXPECT_EQ(testing::ReadFile(win_ / "Gorblunk.Ini"), std::string(200, 'n'));
  EXPECT_EQ(DriveContents(), (std::set<fs::path>{win_, win_ / "Gorblunk.Ini"}));
}

struct CreateCase {
  const char* name;
  std::function<void(const fs::path& driveC)> arrange;
  const char* path;
  std::int32_t code;
};

class FailedCreation : public WinePlatformFiles,
                       public ::testing::WithParamInterface<CreateCase> {};

TEST_P(FailedCreation, GivesTheWindowsCodeAndCreatesNothing) {
  GetParam().arrange(prefix_ / "drive_c");
  const std::set<fs::path> before = DriveContents();
  WinePlatform platform(prefix_);
  EXPECT_EQ(platform.CreateSettingsFile(GetParam().path), GetParam().code);
  EXPECT_EQ(DriveContents(), before);
  EXPECT_EQ(testing::ReadFile(win_ / "Gorblunk.Ini"), kOld);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailedCreation,
    ::testing::Values(
        CreateCase{"MissingDirectory", [](const fs::path&) {}, "C:\\NoSuchDir\\Gorblunk.Ini", 3},
        CreateCase{"FileInTheWay", [](const fs::path& c) { testing::WriteFile(c / "plain", "x"); },
                   "C:\\plain\\Gorblunk.Ini", 3},
        CreateCase{"DirectoryInTheWay",
                   [](const fs::path& c) { fs::create_directories(c / "D" / "Gorblunk.Ini"); },
                   "C:\\D\\Gorblunk.Ini", 5},
        CreateCase{"InvalidName", [](const fs::path&) {}, "C:\\W?N\\Gorblunk.Ini", 123},
        CreateCase{"MissingDriveRoot", [](const fs::path&) {}, "Q:\\Gorblunk.Ini", 2},
        CreateCase{"MissingDrive", [](const fs::path&) {}, "Q:\\WIN\\Gorblunk.Ini", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WinePlatformFiles, AFullDiskFailsTheLineThatFillsTheBufferAndKeepsTheOldFile) {
  fs::create_symlink("/dev/full", win_ / "Gorblunk.$$$");
  WinePlatform platform(prefix_);
  ASSERT_EQ(platform.CreateSettingsFile("C:\\WIN\\Gorblunk.Ini"), 0);
  std::vector<std::int32_t> codes;
  for (int line = 0; line < 5; ++line) {
    codes.push_back(platform.WriteSettingsFile(std::string(30, 'x')));
  }
  EXPECT_EQ(codes, (std::vector<std::int32_t>{0, 0, 0, 0, 112}));
  platform.DiscardSettingsFile();
  EXPECT_FALSE(fs::exists(fs::symlink_status(win_ / "Gorblunk.$$$")));
  EXPECT_EQ(testing::ReadFile(win_ / "Gorblunk.Ini"), kOld);
}

TEST_F(WinePlatformFiles, TooManyOpenFilesGivesCodeFour) {
  WinePlatform platform(prefix_);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  const int lowestFree = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(lowestFree, 0);
  ::close(lowestFree);
  rlimit low = saved;
  low.rlim_cur = static_cast<rlim_t>(lowestFree);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  const std::int32_t code = platform.CreateSettingsFile("C:\\WIN\\Gorblunk.Ini");
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
  EXPECT_EQ(code, 4);
}

TEST_F(WinePlatformFiles, TheCurrentDirectoryIsItsDosPathAndRelativePathsStartThere) {
  const fs::path game = prefix_ / "drive_c" / "Games" / "Gorblunk";
  fs::create_directories(game);
  const WorkingDirectory inGame(game);
  WinePlatform platform(prefix_);
  std::string directory;
  EXPECT_EQ(platform.ReadCurrentDirectory(directory), 0);
  EXPECT_EQ(directory, "C:\\Games\\Gorblunk");
  ASSERT_EQ(platform.CreateSettingsFile("..\\Gorblunk.Ini"), 0);
  ASSERT_EQ(platform.CloseSettingsFile(), 0);
  EXPECT_TRUE(fs::is_regular_file(game.parent_path() / "Gorblunk.Ini"));
}

TEST_F(WinePlatformFiles, ACurrentDirectoryOverTwoHundredFiftyNineCharactersIsRefused) {
  fs::path deep = prefix_ / "drive_c";
  for (int level = 0; level < 3; ++level) {
    deep /= std::string(90, static_cast<char>('a' + level));
  }
  fs::create_directories(deep);
  const WorkingDirectory inDeep(deep);
  WinePlatform platform(prefix_);
  std::string directory;
  EXPECT_EQ(platform.ReadCurrentDirectory(directory), 206);
}

TEST_F(WinePlatformFiles, ADirectoryOnNoDriveStartsInTheWindowsDirectoryAsUnderWine) {
  fs::remove(prefix_ / "dosdevices" / "z:");
  const WorkingDirectory outside(folder_.Path());
  WinePlatform platform(prefix_);
  std::string directory;
  EXPECT_EQ(platform.ReadCurrentDirectory(directory), 0);
  EXPECT_EQ(directory, "C:\\windows");
}

}  // namespace
}  // namespace setwright
