// Setwright.exe under real Wine and the native Setwright side by side, in one fresh Wine prefix:
// for every registry state both must print the same (apart from the module name), exit alike and
// leave byte-identical settings files.
#include <gtest/gtest.h>

#include <optional>

#include "process.h"
#include "temp_dir.h"
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
  const fs::path prefix = folder.Path() / "prefix", driveC = prefix / "drive_c";
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
  for (const fs::path& directory : {game, driveC / "GkWin", driveC / "Gk%Win%"}) {
    fs::create_directories(directory);
  }
  // What `wine reg add` is given, the type that the hive then holds, the settings file's folder
  // below drive_c and the exit status.
  using Row = std::tuple<std::string, std::string, std::uint32_t, std::string, int>;
  const Row cases[] = {Row{"REG_SZ", "C:\\GKWIN", 1, "GkWin", 0},
                       Row{"REG_EXPAND_SZ", "C:\\Gk%Win%", 2, "Gk%Win%", 0},
                       Row{"REG_SZ", "C:\\NoSuchDir", 1, "NoSuchDir", 1},
                       Row{"REG_DWORD", "1", 4, "GkWin", 1}, Row{"REG_SZ", "", 1, "", 0}};
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion";
  for (const auto& [type, data, hiveType, below, exitStatus] : cases) {
    wine({"wine", "reg", "add", "HKLM\\" + key, "/v", "SystemRoot", "/t", type, "/d", data, "/f"},
         "/");
    const auto stored = FindHiveValue(ReadFile(prefix / "system.reg"), key, "SystemRoot");
    EXPECT_EQ(stored ? stored->type : 0, hiveType) << data;
    const fs::path settings = driveC / below / "Gorblunk.Ini";
    for (const fs::path& directory : {game, driveC}) {
      std::tuple<int, std::string, std::optional<std::string>> runs[2];
      for (int build = 0; build < 2; ++build) {
        // An earlier settings file, where its folder exists.
        folder.WriteText(fs::relative(settings, folder.Path()).string(),
                         "[Gorblunk]\r\nLanguage=7\r\n");
        const auto result = build == 0 ? wine({"wine", SETWRIGHT_EXE}, directory)
                                       : RunProcess({SETWRIGHT_NATIVE}, directory, environment);
        runs[build] = {result.exitStatus, result.output,
                       fs::exists(settings) ? std::optional(ReadFile(settings)) : std::nullopt};
        fs::remove(settings);
      }
      std::string& exeOutput = std::get<1>(runs[0]);
      if (const std::size_t at = exeOutput.find(" Setwright.exe at "); at != std::string::npos) {
        exeOutput.replace(at, 18, " Setwright at ");
      }
      EXPECT_EQ(runs[0], runs[1]) << data;
      EXPECT_EQ(std::pair(std::get<0>(runs[1]), std::get<2>(runs[1]).has_value()),
                std::pair(exitStatus, exitStatus == 0));
    }
  }
  RunProcess({"wineserver", "-k"}, "/", environment);
}

}  // namespace
}  // namespace setwright
