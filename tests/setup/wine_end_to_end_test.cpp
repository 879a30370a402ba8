// Setwright.exe under real Wine and the native Setwright side by side, in one fresh Wine prefix:
// for every registry state, earlier settings file and locale both must print the same (the native
// one runs under the Windows build's file name), exit alike and leave the same settings file.
#include <gtest/gtest.h>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

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
  ASSERT_EQ(RunProcess({"chattr", "+i", readOnly}, "/").exitStatus, 0);  // keeps root out too
  // The native build under the Windows build's file name, so that both name the same module.
  const fs::path native = folder.Path() / "Setwright.exe";
  fs::copy_file(SETWRIGHT_NATIVE, native);
  // A folder named in EUC-JP, for a locale whose file names are EUC-JP, and a device to link to.
  const fs::path japanese = driveC / "\xA5\xB2\xA1\xBC\xA5\xE0", locales = folder.Path() / "loc";
  fs::create_directories(japanese);
  fs::create_directories(locales);
  ASSERT_EQ(
      RunProcess({"localedef", "-i", "ja_JP", "-f", "EUC-JP", locales / "ja_JP"}, "/").exitStatus +
          RunProcess({"mknod", folder.File("null"), "c", "1", "3"}, "/").exitStatus,
      0);
  // What `wine reg add` is given (type "hive": the data written into system.reg; "none": no
  // system.reg that can be read), the settings file's folder below drive_c, the exit status, what
  // the settings file is before each run (a file, read-only, a FIFO, a link loop, a link to a
  // missing file or to a device), more environment, and where from (else the game and C:\).
  struct Row {
    std::string type, data, below;
    int exitStatus;
    char earlier = 'f';
    std::vector<std::string> environment = {};
    std::vector<fs::path> from = {};
  };
  const std::vector<std::string> eucJp = {"LC_ALL=", "LANG=ja_JP", "LOCPATH=" + locales.string()};
  // clang-format off
  const Row cases[] = {
      {"REG_SZ", "C:\\GKWIN", "GkWin", 0}, {"REG_EXPAND_SZ", "C:\\Gk%Win%", "Gk%Win%", 0},
      {"REG_SZ", "C:\\NoSuchDir", "NoSuchDir", 1}, {"REG_DWORD", "1", "GkWin", 1},
      {"REG_SZ", "", "", 0}, {"REG_SZ", "C:\\GkRO", "GkRO", 0},
      {"REG_SZ", "C:\\GkWin", "GkWin", 1, 'r', {}, {game}},
      {"REG_SZ", "C:\\GkWin", "GkWin", 1, 'p', {}, {game}},
      {"REG_SZ", "C:\\GkWin", "GkWin", 1, 'l', {}, {game}},
      {"REG_SZ", "C:\\GkWin", "GkWin", 0, 'd', {}, {game}},
      {"REG_SZ", "C:\\GkWin", "GkWin", 1, 'c', {}, {game}},
      {"REG_SZ", "C:\\GkWin", "GkWin", 0, 'f', eucJp, {japanese}},
      {"hive", "dword:zz", "GkWin", 1, 'f', {}, {game}}, {"none", "", "GkWin", 1, 'f', {}, {game}}};
  // clang-format on
  for (const auto& [type, data, below, exitStatus, earlier, more, from] : cases) {
    const fs::path hive = prefix / "system.reg";
    // Written before each run, as Wine saves the hive in its own words once a run is over.
    std::string hiveText;
    if (type == "hive") {
      hiveText = ReadFile(hive);
      const std::size_t key = hiveText.find("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion]");
      const std::size_t value = hiveText.find("\n\"SystemRoot\"=", key) + 1;
      hiveText.replace(value, hiveText.find('\n', value) - value, "\"SystemRoot\"=" + data);
    } else if (type == "none") {
      fs::rename(hive, prefix / "system.kept");
      fs::create_directory(hive);
    } else {
      wine({"wine", "reg", "add", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", "/v",
            "SystemRoot", "/t", type, "/d", data, "/f"},
           "/");
    }
    const fs::path settings = driveC / below / "Gorblunk.Ini";
    std::vector<std::string> runEnvironment = environment;
    runEnvironment.insert(runEnvironment.end(), more.begin(), more.end());
    // Exit status, output, and type and bytes of the settings file of a run from `directory`.
    const auto run = [&](const std::vector<std::string>& argv, const fs::path& directory) {
      std::error_code error;
      const bool file = earlier == 'f' || earlier == 'r';
      if (!file || fs::symlink_status(settings, error).type() != fs::file_type::regular) {
        fs::remove(settings, error);
      }
      if (file) {
        if (fs::is_directory(settings.parent_path())) {  // not for the folder that does not exist
          folder.WriteText(fs::relative(settings, folder.Path()).string(), "[Gorblunk]\r\n");
          fs::permissions(settings, earlier == 'r'
                                        ? fs::perms::owner_read
                                        : fs::perms::owner_read | fs::perms::owner_write);
        }
      } else if (earlier == 'p') {
        RunProcess({"mkfifo", settings}, "/");
      } else {
        fs::create_symlink(earlier == 'l'   ? "Gorblunk.Ini"
                           : earlier == 'd' ? "Missing.ini"
                                            : folder.File("null"),
                           settings);
      }
      if (!hiveText.empty()) {
        folder.WriteText("prefix/system.reg", hiveText);
      }
      const auto result = RunProcess(argv, directory, runEnvironment);
      RunProcess({"wineserver", "-w"}, "/", environment);
      const fs::file_type kind = fs::status(settings, error).type();
      const auto outcome = std::tuple(result.exitStatus, result.output, kind,
                                      kind == fs::file_type::regular ? ReadFile(settings) : "");
      fs::remove(settings.parent_path() / "Missing.ini", error);
      return outcome;
    };
    // From the game folder and from the root of drive C:.
    for (const fs::path& directory : from.empty() ? std::vector{game, driveC} : from) {
      const auto exe = run({"wine", SETWRIGHT_EXE}, directory);
      EXPECT_EQ(exe, run({native.string()}, directory)) << data << " " << directory;
      EXPECT_EQ(
          std::pair(std::get<0>(exe), std::get<3>(exe).starts_with("[Gorblunk]\r\nLanguage=0")),
          std::pair(exitStatus, exitStatus == 0))
          << data << " " << directory;
    }
  }
  RunProcess({"chattr", "-i", readOnly}, "/");
  RunProcess({"wineserver", "-k"}, "/", environment);
}

}  // namespace
}  // namespace setwright
