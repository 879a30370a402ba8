// Setwright.exe under real Wine and the native Setwright side by side, in one fresh Wine prefix:
// for every registry state both must print the same (apart from the module name), exit alike and
// leave byte-identical settings files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "process.h"
#include "setup_fixtures.h"
#include "wine_hive.h"

namespace fs = std::filesystem;

namespace setwright {
namespace {

using testing_support::ReadFile;
using testing_support::RunProcess;

struct Outcome {
  int exitStatus = -1;
  std::string output;
  std::optional<std::string> settings;
};

// One run in `directory`; takes away the settings file at `settings` it leaves, after putting an
// earlier one there when its folder exists.
Outcome RunIn(const std::vector<std::string>& command, const fs::path& directory,
              const fs::path& settings) {
  if (fs::is_directory(settings.parent_path())) {
    std::ofstream(settings, std::ios::binary) << testing::kOldSettings;
  }
  const auto result = RunProcess(command, directory);
  Outcome outcome{result.exitStatus, result.output, std::nullopt};
  if (fs::exists(settings)) {
    outcome.settings = ReadFile(settings);
    fs::remove(settings);
  }
  return outcome;
}

TEST(WineEndToEnd, BothBuildsPrintWriteAndExitAlike) {
  if (std::string(SETWRIGHT_EXE).empty() || !fs::exists(SETWRIGHT_EXE)) {
    GTEST_SKIP() << "Setwright.exe was not built: MinGW-w64 is not installed";
  }
  if (RunProcess({"wine", "--version"}, "/").exitStatus != 0) {
    GTEST_SKIP() << "wine is not installed";
  }
  const testing_support::TempDir folder;
  const fs::path prefix = folder.Path() / "prefix";
  ::setenv("WINEPREFIX", prefix.c_str(), 1);
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);  // no Mono or Gecko prompts
  ::setenv("LC_ALL", "C.UTF-8", 1);  // Unix names in UTF-8, the ANSI code page 1252
  RunProcess({"wineboot", "-i"}, folder.Path());
  RunProcess({"wineserver", "-w"}, folder.Path());  // then the registry is saved in system.reg
  ASSERT_TRUE(fs::exists(prefix / "system.reg"));
  const fs::path driveC = prefix / "drive_c";
  const fs::path game = driveC / "Jeux" / "Gorblunk \xC3\x89pop\xC3\xA9";  // not plain ASCII
  fs::create_directories(game);
  fs::create_directories(driveC / "GkWin");
  fs::create_directories(driveC / "Gk%Win%");

  struct Case {
    const char* type;  // nullptr: no value
    const char* data;
    std::uint32_t hiveType;
    const char* settings;  // below drive_c
    int exitStatus;
  };
  const Case cases[] = {
      {"REG_SZ", "C:\\GKWIN", 1, "GkWin", 0},   {"REG_EXPAND_SZ", "C:\\Gk%Win%", 2, "Gk%Win%", 0},
      {"REG_SZ", "C:\\GkWin\\", 1, "GkWin", 0}, {"REG_SZ", "C:\\NoSuchDir", 1, "NoSuchDir", 1},
      {"REG_DWORD", "1", 4, "GkWin", 1},        {"REG_MULTI_SZ", "C:\\GkWin\\0D:\\", 7, "GkWin", 1},
      {"REG_BINARY", "433a5c", 3, "GkWin", 1},  {nullptr, "", 0, "", 0}};
  const std::string key = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
  for (const Case& value : cases) {
    SCOPED_TRACE(value.data);
    if (value.type != nullptr) {
      RunProcess(
          {"wine", "reg", "add", key, "/v", "SystemRoot", "/t", value.type, "/d", value.data, "/f"},
          folder.Path());
    } else {
      RunProcess({"wine", "reg", "delete", key, "/v", "SystemRoot", "/f"}, folder.Path());
    }
    RunProcess({"wineserver", "-w"}, folder.Path());
    const auto stored = FindHiveValue(ReadFile(prefix / "system.reg"),
                                      "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot");
    ASSERT_EQ(stored.has_value(), value.type != nullptr);
    EXPECT_EQ(stored ? stored->type : 0, value.hiveType);
    const fs::path settings = driveC / value.settings / "Gorblunk.Ini";
    for (const fs::path& directory : {game, driveC}) {
      Outcome windows = RunIn({"wine", SETWRIGHT_EXE}, directory, settings);
      const Outcome native = RunIn({SETWRIGHT_NATIVE}, directory, settings);
      EXPECT_EQ(native.exitStatus, value.exitStatus);
      EXPECT_EQ(windows.exitStatus, native.exitStatus);
      const std::string exeModule = " Setwright.exe at ";
      if (const std::size_t at = windows.output.find(exeModule); at != std::string::npos) {
        windows.output.replace(at, exeModule.size(), " Setwright at ");
      }
      EXPECT_EQ(windows.output, native.output);
      EXPECT_EQ(windows.settings, native.settings);
      if (value.exitStatus == 0) {
        EXPECT_EQ(native.output, testing::kBanner);
        ASSERT_TRUE(native.settings.has_value());
        EXPECT_NE(
            native.settings->find(directory == game ? "\r\nHDDir=C:\\Jeux\\Gorblunk \xC9pop\xE9\r\n"
                                                    : "\r\nGameExe=C:\\\\GkLaunch.Exe\r\n"),
            std::string::npos);
      } else {
        EXPECT_EQ(native.settings.value_or(testing::kOldSettings), testing::kOldSettings);
      }
    }
  }
  RunProcess({"wineserver", "-k"}, folder.Path());
}

}  // namespace
}  // namespace setwright
