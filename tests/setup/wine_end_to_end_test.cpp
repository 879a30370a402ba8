// Setwright.exe under real Wine and the native Setwright side by side, in one fresh Wine prefix:
// for every registry state both must print the same (apart from the module name), exit alike and
// leave byte-identical settings files.
#include <gtest/gtest.h>

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

TEST(WineEndToEnd, BothBuildsPrintWriteAndExitAlike) {
  if (std::string(SETWRIGHT_EXE).empty() || RunProcess({"wine", "--version"}, "/").exitStatus) {
    GTEST_SKIP() << "Setwright.exe was not built or wine is not installed";
  }
  const testing_support::TempDir folder;
  const fs::path prefix = folder.Path() / "prefix";
  const fs::path driveC = prefix / "drive_c";
  const fs::path game = driveC / "Jeux" / "Gorblunk \xC3\x89pop\xC3\xA9";  // not plain ASCII
  // Unix names in UTF-8, the ANSI code page 1252; no Mono or Gecko prompts.
  const std::vector<std::string> environment = {
      "WINEPREFIX=" + prefix.string(), "WINEDEBUG=-all",
      "WINEDLLOVERRIDES=mscoree,mshtml=", "LC_ALL=C.UTF-8"};
  const auto wine = [&](std::vector<std::string> argv, const fs::path& directory) {
    const auto result = RunProcess(argv, directory, environment);
    RunProcess({"wineserver", "-w"}, "/", environment);  // then the registry is in system.reg
    return result;
  };
  wine({"wineboot", "-i"}, "/");
  fs::create_directories(game);
  fs::create_directories(driveC / "GkWin");
  fs::create_directories(driveC / "Gk%Win%");
  struct Case {
    const char* type;  // nullptr: no value
    const char* data;
    std::uint32_t hiveType;
    const char* settings;  // the folder below drive_c
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
    wine(value.type != nullptr
             ? std::vector<std::string>{"wine", "reg", "add", key, "/v", "SystemRoot", "/t",
                                        value.type, "/d", value.data, "/f"}
             : std::vector<std::string>{"wine", "reg", "delete", key, "/v", "SystemRoot", "/f"},
         "/");
    const auto stored = FindHiveValue(ReadFile(prefix / "system.reg"),
                                      "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot");
    EXPECT_EQ(stored ? stored->type : 0, value.hiveType);
    const fs::path settings = driveC / value.settings / "Gorblunk.Ini";
    for (const fs::path& directory : {game, driveC}) {
      std::optional<std::string> written[2];
      std::string output[2];
      for (int build = 0; build < 2; ++build) {
        if (fs::is_directory(settings.parent_path())) {
          std::ofstream(settings, std::ios::binary) << testing::kOldSettings;
        }
        const auto result = build == 0 ? wine({"wine", SETWRIGHT_EXE}, directory)
                                       : RunProcess({SETWRIGHT_NATIVE}, directory, environment);
        EXPECT_EQ(result.exitStatus, value.exitStatus);
        output[build] = result.output;
        if (fs::exists(settings)) {
          written[build] = ReadFile(settings);
          fs::remove(settings);
        }
      }
      const std::string exeModule = " Setwright.exe at ";
      if (const std::size_t at = output[0].find(exeModule); at != std::string::npos) {
        output[0].replace(at, exeModule.size(), " Setwright at ");
      }
      EXPECT_EQ(output[0], output[1]);
      if (value.exitStatus == 0) {
        EXPECT_EQ(output[1], testing::kBanner);
      }
      EXPECT_EQ(written[0], written[1]);
      const std::string expected = directory == game
                                       ? "\r\nHDDir=C:\\Jeux\\Gorblunk \xC9pop\xE9\r\n"
                                       : "\r\nGameExe=C:\\\\GkLaunch.Exe\r\n";
      EXPECT_EQ(written[1].value_or(testing::kOldSettings).find(expected) != std::string::npos,
                value.exitStatus == 0);
    }
  }
  RunProcess({"wineserver", "-k"}, "/", environment);
}

}  // namespace
}  // namespace setwright
