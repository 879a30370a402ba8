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
  const fs::path readOnly = driveC / "GkRO";
  // Unix names in UTF-8, the ANSI code page 1252; no Mono or Gecko prompts.
  const std::vector<std::string> environment = {
      "WINEPREFIX=" + prefix.string(), "WINEDEBUG=-all",
      "WINEDLLOVERRIDES=mscoree,mshtml=", "LC_ALL=C.UTF-8"};
  // A run in the prefix; afterwards the registry is in system.reg.
  const auto wine = [&](const std::vector<std::string>& argv, const fs::path& directory) {
    const auto result = RunProcess(argv, directory, environment);
    RunProcess({"wineserver", "-w"}, "/", environment);
    return result;
  };
  wine({"wineboot", "-i"}, "/");
  for (const fs::path& directory :
       {game, driveC / "GkWin" / "Gorblunk.$$$", driveC / "Gk%Win%", readOnly}) {
    fs::create_directories(directory);
  }
  // A folder where no file may be created, holding a settings file that may be written.
  folder.WriteText("prefix/drive_c/GkRO/Gorblunk.Ini", "");
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
  RunProcess({"chattr", "+i", readOnly}, "/");  // what keeps root out as well
  // The native build under the Windows build's file name, so that both name the same module.
  const fs::path native = folder.Path() / "Setwright.exe";
  fs::copy_file(SETWRIGHT_NATIVE, native);
  // What `wine reg add` is given, the settings file's folder below drive_c and the exit status.
  using Row = std::tuple<std::string, std::string, std::string, int>;
  // clang-format off
  const Row cases[] = {
      {"REG_SZ", "C:\\GKWIN", "GkWin", 0}, {"REG_EXPAND_SZ", "C:\\Gk%Win%", "Gk%Win%", 0},
      {"REG_SZ", "C:\\NoSuchDir", "NoSuchDir", 1}, {"REG_DWORD", "1", "GkWin", 1},
      {"REG_SZ", "", "", 0}, {"REG_SZ", "C:\\GkRO", "GkRO", 0}};
  // clang-format on
  for (const auto& [type, data, below, exitStatus] : cases) {
    wine({"wine", "reg", "add", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", "/v",
          "SystemRoot", "/t", type, "/d", data, "/f"},
         "/");
    const fs::path settings = driveC / below / "Gorblunk.Ini";
    // Exit status, output and the settings file, if any, of a run from `directory` where an
    // earlier settings file was.
    const auto run = [&](const std::vector<std::string>& argv, const fs::path& directory) {
      folder.WriteText(fs::relative(settings, folder.Path()).string(), "[Gorblunk]\r\n");
      const auto result = wine(argv, directory);
      return std::tuple(result.exitStatus, result.output, ReadFile(settings));
    };
    // From the game folder and from the root of drive C:.
    for (const fs::path& directory : {game, driveC}) {
      const auto exe = run({"wine", SETWRIGHT_EXE}, directory);
      EXPECT_EQ(exe, run({native.string()}, directory)) << data << " " << directory;
      EXPECT_EQ(
          std::pair(std::get<0>(exe), std::get<2>(exe).starts_with("[Gorblunk]\r\nLanguage=0")),
          std::pair(exitStatus, exitStatus == 0))
          << data << " " << directory;
    }
  }
  RunProcess({"chattr", "-i", readOnly}, "/");
  RunProcess({"wineserver", "-k"}, "/", environment);
}

}  // namespace
}  // namespace setwright
