// Setwright.exe under real Wine and the native Setwright side by side, in one fresh Wine prefix:
// for every registry state both must print the same (apart from the module name), exit alike
// and leave byte-identical settings files.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>

#include "system_root.h"
#include "test_support.h"
#include "wine_hive.h"

namespace fs = std::filesystem;

namespace setwright {
namespace {

constexpr char kKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kHiveKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
// "Gorblunk Épopée": the game directory's name is not plain ASCII.
constexpr char kGameFolder[] =
    "Gorblunk \xC3\x89pop\xC3\xA9"
    "e";
// The same in the ANSI code page, as the settings file holds it.
constexpr std::string_view kGameDirectory =
    "C:\\Jeux\\Gorblunk \xC9pop\xE9"
    "e";
constexpr char kOldSettings[] = "[Gorblunk]\r\nLanguage=7\r\n";

std::string FindProgram(const std::string& name, const std::string& fallback) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "";
  for (std::size_t start = 0; start <= folders.size();) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const fs::path candidate = fs::path(folders.substr(start, end - start)) / name;
    if (end > start && ::access(candidate.c_str(), X_OK) == 0) {
      return candidate.string();
    }
    start = end + 1;
  }
  return ::access(fallback.c_str(), X_OK) == 0 ? fallback : "";
}

struct Outcome {
  int exitStatus = -1;
  std::string output;
  std::optional<std::string> settings;
};

class WineEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::string(SETWRIGHT_EXE).empty() || !fs::exists(SETWRIGHT_EXE)) {
      skipReason_ = "Setwright.exe was not built: x86_64-w64-mingw32-g++ is not installed";
      return;
    }
    wine_ = FindProgram("wine", "/usr/lib/wine/wine64");
    wineserver_ = FindProgram("wineserver", "/usr/lib/wine/wineserver64");
    if (wine_.empty() || wineserver_.empty()) {
      skipReason_ = "wine is not installed";
      return;
    }
    folder_ = std::make_unique<testing::TempFolder>();
    prefix_ = folder_->Path() / "prefix";
    ::setenv("WINEPREFIX", prefix_.c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);  // no Mono or Gecko prompts
    ::setenv("LC_ALL", "C.UTF-8", 1);  // Unix names in UTF-8, the ANSI code page 1252
    testing::RunProcess({wine_, "wineboot", "-i"}, folder_->Path());
    WaitForWineserver();
    if (!fs::exists(prefix_ / "system.reg")) {
      setupError_ = "wineboot made no prefix in " + prefix_.string();
      return;
    }
    driveC_ = prefix_ / "drive_c";
    game_ = driveC_ / "Jeux" / kGameFolder;
    fs::create_directories(game_);
    fs::create_directories(driveC_ / "GkWin");
    fs::create_directories(driveC_ / "Gk%Win%");
  }

  static void TearDownTestSuite() {
    if (folder_) {
      testing::RunProcess({wineserver_, "-k"}, folder_->Path());
      folder_.reset();
    }
  }

  void SetUp() override {
    if (!skipReason_.empty()) {
      GTEST_SKIP() << skipReason_;
    }
    ASSERT_TRUE(setupError_.empty()) << setupError_;
  }

  // After the wineserver has ended, the registry is saved in system.reg.
  static void WaitForWineserver() { testing::RunProcess({wineserver_, "-w"}, folder_->Path()); }

  // Sets SystemRoot with `wine reg` and checks the type that the hive then holds.
  static void SetSystemRoot(const std::string& type, const std::string& data,
                            std::uint32_t hiveType) {
    const auto added = testing::RunProcess(
        {wine_, "reg", "add", kKey, "/v", "SystemRoot", "/t", type, "/d", data, "/f"},
        folder_->Path());
    ASSERT_EQ(added.exitStatus, 0) << added.output;
    WaitForWineserver();
    const auto value =
        FindHiveValue(testing::ReadFile(prefix_ / "system.reg"), kHiveKey, "SystemRoot");
    ASSERT_TRUE(value.has_value()) << "the hive holds no SystemRoot after reg add";
    EXPECT_EQ(value->type, hiveType);
  }

  static void DeleteSystemRoot() {
    testing::RunProcess({wine_, "reg", "delete", kKey, "/v", "SystemRoot", "/f"}, folder_->Path());
    WaitForWineserver();
    ASSERT_FALSE(FindHiveValue(testing::ReadFile(prefix_ / "system.reg"), kHiveKey, "SystemRoot"));
  }

  // Runs one build in `directory`; takes away the settings file at `settings` it leaves.
  static Outcome RunBuild(const std::vector<std::string>& command, const fs::path& directory,
                          const fs::path& settings) {
    Outcome outcome;
    const auto result = testing::RunProcess(command, directory);
    outcome.exitStatus = result.exitStatus;
    outcome.output = result.output;
    if (fs::exists(settings)) {
      outcome.settings = testing::ReadFile(settings);
      fs::remove(settings);
    }
    return outcome;
  }

  // Runs both builds, each with an older settings file in place where its folder exists, and
  // expects the same outcome of them; returns the native one.
  static Outcome RunBoth(const fs::path& directory, const fs::path& settings) {
    const bool folderExists = fs::is_directory(settings.parent_path());
    if (folderExists) {
      testing::WriteFile(settings, kOldSettings);
    }
    Outcome windows = RunBuild({wine_, SETWRIGHT_EXE}, directory, settings);
    if (folderExists) {
      testing::WriteFile(settings, kOldSettings);
    }
    Outcome native = RunBuild({SETWRIGHT_NATIVE}, directory, settings);
    EXPECT_EQ(windows.exitStatus, native.exitStatus);
    const std::string exeModule = " in module Setwright.exe at ";
    if (const std::size_t at = windows.output.find(exeModule); at != std::string::npos) {
      windows.output.replace(at, exeModule.size(), " in module Setwright at ");
    }
    EXPECT_EQ(windows.output, native.output);
    EXPECT_EQ(windows.settings, native.settings);
    return native;
  }

  // A new settings file for the game directory, not the older one.
  static void ExpectNewSettings(const Outcome& outcome) {
    ASSERT_TRUE(outcome.settings.has_value());
    EXPECT_EQ(outcome.settings->size(), 346 + 3 * kGameDirectory.size());
    EXPECT_NE(outcome.settings->find("\r\nHDDir=" + std::string(kGameDirectory) + "\r\n"),
              std::string::npos);
  }

  static void ExpectNoSettingsFileAnywhere() {
    for (const auto& entry : fs::recursive_directory_iterator(driveC_)) {
      EXPECT_NE(entry.path().filename(), "Gorblunk.Ini") << entry.path();
      EXPECT_NE(entry.path().filename(), "Gorblunk.$$$") << entry.path();
    }
  }

  static inline std::string skipReason_;
  static inline std::string setupError_;
  static inline std::string wine_;
  static inline std::string wineserver_;
  static inline std::unique_ptr<testing::TempFolder> folder_;
  static inline fs::path prefix_;
  static inline fs::path driveC_;
  static inline fs::path game_;
};

TEST_F(WineEndToEnd, RegSzFromTheGameDirectoryAndFromADriveRoot) {
  SetSystemRoot("REG_SZ", "C:\\GKWIN", kRegSz);
  const fs::path settings = driveC_ / "GkWin" / "Gorblunk.Ini";
  const Outcome inGame = RunBoth(game_, settings);
  EXPECT_EQ(inGame.exitStatus, 0);
  EXPECT_EQ(inGame.output, testing::BannerText());
  ExpectNewSettings(inGame);

  const Outcome atRoot = RunBoth(driveC_, settings);
  EXPECT_EQ(atRoot.exitStatus, 0);
  ASSERT_TRUE(atRoot.settings.has_value());
  EXPECT_NE(atRoot.settings->find("\r\nGameExe=C:\\\\GkLaunch.Exe\r\n"), std::string::npos);
}

TEST_F(WineEndToEnd, RegExpandSzIsUsedLiterally) {
  SetSystemRoot("REG_EXPAND_SZ", "C:\\Gk%Win%", kRegExpandSz);
  const Outcome outcome = RunBoth(game_, driveC_ / "Gk%Win%" / "Gorblunk.Ini");
  EXPECT_EQ(outcome.exitStatus, 0);
  ExpectNewSettings(outcome);
}

TEST_F(WineEndToEnd, ATrailingBackslashGivesTheSameFolder) {
  SetSystemRoot("REG_SZ", "C:\\GkWin\\", kRegSz);
  const Outcome outcome = RunBoth(game_, driveC_ / "GkWin" / "Gorblunk.Ini");
  EXPECT_EQ(outcome.exitStatus, 0);
  ExpectNewSettings(outcome);
}

TEST_F(WineEndToEnd, NoValueWritesToTheRootOfTheCurrentDrive) {
  DeleteSystemRoot();
  const Outcome outcome = RunBoth(game_, driveC_ / "Gorblunk.Ini");
  EXPECT_EQ(outcome.exitStatus, 0);
  ExpectNewSettings(outcome);
}

TEST_F(WineEndToEnd, ValuesOfOtherTypesAreReportedAndWriteNothing) {
  struct TypeCase {
    const char* type;
    const char* data;
    std::uint32_t hiveType;
  };
  for (const TypeCase& value : {TypeCase{"REG_DWORD", "1", kRegDword},
                                TypeCase{"REG_MULTI_SZ", "C:\\GkWin\\0D:\\", kRegMultiSz},
                                TypeCase{"REG_BINARY", "433a5c", kRegBinary}}) {
    SCOPED_TRACE(value.type);
    SetSystemRoot(value.type, value.data, value.hiveType);
    const Outcome outcome = RunBoth(game_, driveC_ / "GkWin" / "Gorblunk.Ini");
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.output, testing::BannerText() +
                                  "Exception ERegistryException in module Setwright at 00402120.\n"
                                  "Invalid data type for 'SystemRoot'.\r\n");
    EXPECT_EQ(outcome.settings, kOldSettings) << "the older settings file was changed";
    ExpectNoSettingsFileAnywhere();
  }
}

TEST_F(WineEndToEnd, AWindowsDirectoryThatDoesNotExistIsAnInvalidFilename) {
  SetSystemRoot("REG_SZ", "C:\\NoSuchDir", kRegSz);
  const Outcome outcome = RunBoth(game_, driveC_ / "NoSuchDir" / "Gorblunk.Ini");
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(outcome.output, testing::BannerText() +
                                "Exception EInOutError in module Setwright at 00403000.\n"
                                "Invalid filename.\r\n");
  ExpectNoSettingsFileAnywhere();
}

}  // namespace
}  // namespace setwright
