// Setwright.exe under real Wine and the native Setwright side by side, in one fresh Wine prefix:
// for every registry state both must print the same (the native one runs under the Windows
// build's file name), exit alike and leave byte-identical settings files.
#include <gtest/gtest.h>

#include "process.h"
#include "temp_dir.h"

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
  // The native build under the Windows build's file name, so that both name the same module.
  const fs::path native = folder.Path() / "Setwright.exe";
  fs::copy_file(SETWRIGHT_NATIVE, native);
  // What `wine reg add` is given, the settings file's folder below drive_c and the exit status.
  using Row = std::tuple<std::string, std::string, std::string, int>;
  const Row cases[] = {Row{"REG_SZ", "C:\\GKWIN", "GkWin", 0},
                       Row{"REG_EXPAND_SZ", "C:\\Gk%Win%", "Gk%Win%", 0},
                       Row{"REG_SZ", "C:\\NoSuchDir", "NoSuchDir", 1},
                       Row{"REG_DWORD", "1", "GkWin", 1}, Row{"REG_SZ", "", "", 0}};
  for (const auto& [type, data, below, exitStatus] : cases) {
    const std::string key = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
    wine({"wine", "reg", "add", key, "/v", "SystemRoot", "/t", type, "/d", data, "/f"}, "/");
    const fs::path settings = driveC / below / "Gorblunk.Ini";
    // Exit status, output and the settings file, if any, of a run from `directory` where an
    // earlier settings file was.
    const auto run = [&](const std::vector<std::string>& argv, const fs::path& directory) {
      folder.WriteText(fs::relative(settings, folder.Path()).string(), "[Gorblunk]\r\n");
      const auto result =
          argv[0] == "wine" ? wine(argv, directory) : RunProcess(argv, directory, environment);
      const std::string written = ReadFile(settings);  // empty when there is none
      fs::remove(settings);
      return std::tuple(result.exitStatus, result.output, written);
    };
    for (const fs::path& directory : {game, driveC}) {
      const auto exe = run({"wine", SETWRIGHT_EXE}, directory);
      EXPECT_EQ(exe, run({native.string()}, directory)) << data;
      EXPECT_EQ(
          std::pair(std::get<0>(exe), std::get<2>(exe).starts_with("[Gorblunk]\r\nLanguage=0")),
          std::pair(exitStatus, exitStatus == 0));
    }
  }
  RunProcess({"wineserver", "-k"}, "/", environment);
}

}  // namespace
}  // namespace setwright
