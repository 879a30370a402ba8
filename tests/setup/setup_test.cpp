// The setup run over a fake system whose settings file is a replacing file on a disk in memory;
// the Wine-prefix layer (code page, DOS paths, drive links, registry hive, Unix errors and files,
// the console) in a prefix made here; and the native program run in that prefix.
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

#include "setup/core/code_position.h"
#include "setup/core/failure_report.h"
#include "setup/core/setup_run.h"
#include "setup/wine/code_page.h"
#include "setup/wine/dos_path.h"
#include "setup/wine/platform_wine.h"
#include "setup/wine/unix_error.h"
#include "setup/wine/wine_hive.h"
#include "setup/wine/wine_registry_key.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace std::string_view_literals;

namespace setwright {
namespace {

using testing_support::ReadFile;
using testing_support::RunProcess;
using testing_support::TempDir;
using Files = std::map<std::string, std::string>;

const std::string kBanner =
    "Gorblunk Setup                      [MMX]\r\n"
    "  _   _   _   _   _   _   _   _   _   _\r\n"
    "_| |_| |_| |_| |_| |_| |_| |_| |_| |_| |_\r\n"
    "|     G   O   R   B   L   U   N   K     |\r\n"
    "|      []         .---.         []      |\r\n"
    "|                 |   |                 |\r\n"
    "|_________________|___|_________________|\r\n";

// The settings file for the game in `directory`: 397 bytes for C:\Games\Gorblunk.
std::string Settings(const std::string& directory = "C:\\Games\\Gorblunk") {
  return "[Gorblunk]\r\nLanguage=0\r\nHDDir=" + directory + "\r\nGameExe=" + directory +
         "\\GkLaunch.Exe\r\nBrindelEXE=" + directory +
         "\\Bin\\Brindel.Kit\\Brindel.Exe\r\nGameDetail=3\r\n"
         "GameStats=2\r\nWindowW=1152\r\nWindowH=864\r\nDisplayMode=1\r\nWaitForRetrace=1\r\n"
         "FrameRate=0\r\nGammaCorrection=4\r\nBufferLength=-1\r\nVolume=256\r\nnVoices=16\r\n"
         "Stereo=1\r\nUp=38\r\nDown=40\r\nLeft=37\r\nRight=39\r\nLeftShoot=45\r\nRightShoot=32\r\n"
         "SwitchWeapon=9\r\n";
}

const std::string kOldSettings = "[Gorblunk]\r\nLanguage=7\r\n";
const Files kUntouched = {{"C:\\WIN\\Gorblunk.Ini", kOldSettings}};

// Console writes, settings lines and file operations are steps counted from 1 in the order made;
// step `failingStep` fails with `failingCode`. A file may hold at most `room` bytes; in a
// read-only folder no file may be created.
class FakeSystem final : public SetupPlatform, public FileOperations {
 public:
  std::int32_t WriteStandardOutput(std::string_view bytes) override {
    return Fails() ? failingCode : (console.append(bytes), 0);
  }
  std::int32_t ReadCurrentDirectory(std::string& directory) override {
    directory = "C:\\Games\\Gorblunk";
    return Fails() ? failingCode : 0;
  }
  std::string ReadSystemRoot() override { return systemRoot; }
  std::int32_t CreateSettingsFile(const std::string& path) override {
    return settings_.Create(path, 0xABCDEF);
  }
  std::int32_t WriteSettingsFile(std::string_view bytes) override {
    return Fails() ? failingCode : settings_.Write(bytes);
  }
  std::int32_t CloseSettingsFile() override { return settings_.Close(); }
  void DiscardSettingsFile() override { settings_.Discard(); }

  std::int32_t CheckWritable(const std::string&) override { return Fails() ? failingCode : 0; }
  std::int32_t CreateNew(const std::string& path, const std::string&) override {
    const std::int32_t code = Fails()                ? failingCode
                              : readOnlyFolder       ? 5
                              : files.contains(path) ? 80
                                                     : 0;
    return code != 0 ? code : (files[open = path].clear(), 0);
  }
  std::int32_t Create(const std::string& path) override { return files[open = path].clear(), 0; }
  std::int32_t Read(const std::string& path, std::string& bytes) override {
    return files.contains(path) ? (bytes = files[path], 0) : 2;
  }
  std::int32_t Write(const char* data, std::size_t size) override {
    const std::size_t fits = std::min(size, room - std::min(room, files.at(open).size()));
    files.at(open).append(data, fits);
    return Fails() ? failingCode : (fits < size ? 112 : 0);
  }
  std::int32_t Sync() override { return Fails() ? failingCode : 0; }
  std::int32_t Close() override {
    open.clear();
    return Fails() ? failingCode : 0;
  }
  std::int32_t Rename(const std::string& from, const std::string& to) override {
    return Fails() ? failingCode : (files[to] = files.at(from), files.erase(from), 0);
  }
  void Remove(const std::string& path) override { files.erase(path); }

  int failingStep = 0;
  std::int32_t failingCode = 0;
  std::size_t room = SIZE_MAX;
  bool readOnlyFolder = false;
  std::string systemRoot = "C:\\WIN";
  std::string console;
  Files files = kUntouched;
  std::string open;  // the open file, if any

 private:
  bool Fails() { return ++steps_ == failingStep; }

  int steps_ = 0;
  ReplacingFile settings_{*this};
};

// Exit status, console, files, and whether a file was left open.
using Outcome = std::tuple<int, std::string, Files, bool>;

// A braced list is evaluated in order: the run comes first.
Outcome RunOn(FakeSystem& system) {
  return {RunSetup(system, "Setwright"), system.console, system.files, !system.open.empty()};
}

// The console of a run stopped by a failure after `console`.
std::string Report(const std::string& position, const std::string& message,
                   const std::string& console = kBanner, const std::string& kind = "EInOutError") {
  return console + "Exception " + kind + " in module Setwright at " + position + ".\n" + message +
         ".\r\n";
}

// A run stopped by an EInOutError after `console`, the earlier settings file untouched.
Outcome Failed(const std::string& position, const std::string& message,
               const std::string& console = kBanner) {
  return {1, Report(position, message, console), kUntouched, false};
}

// The Windows directory is used as stored; a settings file path over 259 characters is refused
// before anything is created.
TEST(SetupRun, ReplacesTheSettingsFileInTheWindowsDirectoryAsStored) {
  const std::string wide = "C:\\" + std::string(243, 'w');  // + "\Gorblunk.Ini": 259 characters
  for (const std::string& windowsDirectory : {std::string("C:\\WIN\\"), wide}) {
    FakeSystem system;
    system.systemRoot = windowsDirectory;
    Files files = kUntouched;
    files[windowsDirectory + "\\Gorblunk.Ini"] = Settings();
    EXPECT_EQ(RunOn(system), Outcome(0, kBanner, files, false));
  }
  FakeSystem tooLong;
  tooLong.systemRoot = wide + "w";
  EXPECT_EQ(RunOn(tooLong), Failed("00403000", "Invalid filename"));
  // New names that clash are passed over and their files kept.
  FakeSystem clashes;
  clashes.files["C:\\WIN\\GkABCDEF.$$$"] = clashes.files["C:\\WIN\\GkABCDF0.$$$"] = "x";
  Files files = clashes.files;
  files["C:\\WIN\\Gorblunk.Ini"] = Settings();
  EXPECT_EQ(RunOn(clashes), Outcome(0, kBanner, files, false));
}

// Each with a code of the message table in turn: banner lines, current directory, check and
// creation of the new file, settings lines (lines 5, 13 and 24 fill a 128-byte block, written out
// then), and the close's write-out, sync, close and rename.
TEST(SetupRun, StopsAtEveryFailingStepOrAFullDiskWithItsReportAndKeepsTheEarlierFile) {
  const char* const positions[] = {
      "00401010", "00401020", "00401030", "00401040", "00401050", "00401060", "00401070",
      "00402000", "00403000", "00403000", "00403010", "00403020", "00403030", "00403040",
      "00403050", "00403050", "00403060", "00403070", "00403080", "00403090", "004030A0",
      "004030B0", "004030C0", "004030D0", "004030D0", "004030E0", "004030F0", "00403100",
      "00403110", "00403120", "00403130", "00403140", "00403150", "00403160", "00403170",
      "00403180", "00403180", "00403200", "00403200", "00403200", "00403200"};
  // clang-format off
  const std::pair<std::int32_t, const char*> messages[] = {
      {2, "File not found"}, {3, "Invalid filename"}, {4, "Too many open files"},
      {5, "File access denied"}, {100, "Read beyond end of file"}, {101, "Disk full"},
      {106, "Invalid numeric input"}, {1, "I/O error 1"}, {112, "I/O error 112"},
      {-7, "I/O error -7"}};
  // clang-format on
  std::size_t printed = 0;  // bytes of the banner lines before the failing step
  for (int step = 1; step <= 41; ++step) {
    const auto& [code, message] = messages[(step + 6) % 10];  // the rename: I/O error 1
    FakeSystem system;
    system.failingStep = step;
    system.failingCode = code;
    EXPECT_EQ(RunOn(system), Failed(positions[step - 1], message, kBanner.substr(0, printed)))
        << step;
    printed = step < 8 ? kBanner.find('\n', printed) + 1 : printed;
  }
  // A file that can grow no further: 397 bytes, of which a block of 128 fills during lines 5, 13
  // and 24 and the last 13 bytes go at the close; each side of each block boundary and the last
  // byte. Also written in place, where the earlier bytes go back (except under a limit of 0).
  using Row = std::pair<std::size_t, const char*>;
  for (const auto& [room, position] :
       {Row{0, "00403050"}, Row{127, "00403050"}, Row{128, "004030D0"}, Row{255, "004030D0"},
        Row{256, "00403180"}, Row{383, "00403180"}, Row{384, "00403200"}, Row{396, "00403200"}}) {
    for (const bool inPlace : {false, room > 0}) {
      FakeSystem system;
      system.room = room;
      system.readOnlyFolder = inPlace;
      EXPECT_EQ(RunOn(system), Failed(position, "I/O error 112")) << room << inPlace;
    }
  }
}

TEST(FailureReport, EndsWithOneFullStop) {
  EXPECT_EQ(FailureReportText(ERegistryException("Ends.", position::kRegistryData), "S.exe"),
            "Exception ERegistryException in module S.exe at 00402110.\nEnds.\r\n");
}

// The little-endian bytes of `text`, as the machines that run the tests hold it.
std::string Utf16(std::u16string_view text) {
  static_assert(std::endian::native == std::endian::little);
  return {reinterpret_cast<const char*>(text.data()), text.size() * 2};
}

TEST(CodePage, MapsTheBytesOfEachCodePageToTheirCharactersAndBack) {
  // UTF-8 of each character; 0x81 is one of the five bytes of 1252 that stand for their C1
  // control. 0x83 0x5C is one character of 932, whose trail byte is a backslash.
  using Row = std::tuple<unsigned, const char*, const char*>;
  // clang-format off
  const Row pairs[] = {
      {1252, "\x80", "\xE2\x82\xAC"}, {1252, "\x81", "\xC2\x81"},
      {1252, "\xE9", "\xC3\xA9"}, {1252, "\xFF", "\xC3\xBF"},
      {1252, "A\\", "A\\"}, {1250, "\xB3", "\xC5\x82"}, {936, "\xB9\xFA", "\xE5\x9B\xBD"},
      {932, "\x83\x5C\\", "\xE3\x82\xBD\\"},
      {1251, "\xC8\xE3\xF0\xE0", "\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0"}};
  // clang-format on
  for (const auto& [number, ansi, utf8] : pairs) {
    EXPECT_EQ(CodePageConverter(number).Utf8FromAnsi(ansi), utf8) << number;
    EXPECT_EQ(CodePageConverter(number).AnsiFromUtf8(utf8), ansi) << number;
  }
  // Characters that a code page cannot hold: their unaccented letter (best fit), else '?';
  // invalid and cut-off UTF-8 counts as one character each.
  // clang-format off
  const Row lossy[] = {
      {1252, "\xE4\xB8\xAD!\xF0\x9F\x98\x80", "?!?"}, {1252, "a\xFFz\xC3", "a?z?"},
      {1252, "\xC4\x80\xC5\x82\xC5\x92", "Al\x8C"}, {1251, "\xC3\xA9\xC3\x86", "e?"},
      {932, "\xD0\x98\xC3\xA9", "\x84Ie"}};
  // clang-format on
  for (const auto& [number, utf8, ansi] : lossy) {
    EXPECT_EQ(CodePageConverter(number).AnsiFromUtf8(utf8), ansi) << utf8;
  }
  // Names compare ignoring case in Unicode: é, Œ, Ÿ, Cyrillic.
  EXPECT_TRUE(EqualIgnoringCase("Ini\xC3\xA9\xC5\x93\xC3\xBF\xD0\xB8",
                                "INI\xC3\x89\xC5\x92\xC5\xB8\xD0\x98"));
}

// The code page that Wine gives each locale, by its name alone.
TEST(CodePage, IsTheOneWineChoosesForTheLocale) {
  // clang-format off
  const std::map<std::string, unsigned> expected = {
      {"cs_CZ.UTF-8", 1250}, {"hu_HU", 1250}, {"pl", 1250}, {"ro_RO", 1250}, {"hr_HR", 1250},
      {"sk_SK", 1250}, {"sl_SI", 1250}, {"sq_AL", 1250}, {"bs_BA", 1250}, {"sr_RS@latin", 1250},
      {"ru_RU.UTF-8", 1251}, {"uk_UA", 1251}, {"be_BY", 1251}, {"bg_BG", 1251}, {"mk_MK", 1251},
      {"sr_RS", 1251}, {"el_GR", 1253}, {"tr_TR", 1254}, {"az_AZ", 1254}, {"he_IL", 1255},
      {"ar_EG", 1256}, {"fa_IR", 1256}, {"ur_PK", 1256}, {"et_EE", 1257}, {"lt_LT", 1257},
      {"lv_LV", 1257}, {"vi_VN", 1258}, {"th_TH", 874}, {"ja_JP.UTF-8", 932}, {"zh_CN.UTF-8", 936},
      {"zh_SG", 936}, {"ko_KR", 949}, {"zh_TW", 950}, {"zh_HK.UTF-8", 950}, {"zh", 1252},
      {"de_DE", 1252}, {"C", 1252}, {"POSIX", 1252}, {"rus", 1252}, {"en_RU", 1252}};
  // clang-format on
  for (const auto& [locale, codePage] : expected) {
    EXPECT_EQ(AnsiCodePageOfLocale(locale), codePage) << locale;
    EXPECT_NO_THROW(CodePageConverter(codePage));
  }
  EXPECT_THROW(CodePageConverter(1), std::invalid_argument);  // no such code page
  // The first non-empty of LC_ALL, LC_CTYPE and LANG; none gives 1252.
  const auto fromEnvironment = [](const char* all, const char* ctype, const char* lang) {
    for (const auto& [name, value] :
         {std::pair("LC_ALL", all), {"LC_CTYPE", ctype}, {"LANG", lang}}) {
      value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    return AnsiCodePageFromEnvironment();
  };
  EXPECT_EQ((std::vector<unsigned>{
                fromEnvironment("el_GR", "ru_RU", "ja_JP"), fromEnvironment("", "ru_RU", "ja_JP"),
                fromEnvironment(nullptr, "", "ja_JP"), fromEnvironment(nullptr, nullptr, nullptr)}),
            (std::vector<unsigned>{1253, 1251, 932, 1252}));
  ::setenv("LC_ALL", "C.UTF-8", 1);  // the locale that the other tests expect
}

// Expected values as Wine's GetFullPathNameA and CreateFileA give them: drive and names joined
// by backslashes, or the error code. "..." loses one dot and is not looked at again: ".." then
// names no directory.
TEST(DosPath, FollowsTheWindowsFullPathRules) {
  // clang-format off
  using Row = std::pair<const char*, const char*>;
  const Row cases[] = {
      {"C:\\W\\\\G.Ini", "C:\\W\\G.Ini"}, {"c:/a//b", "c:\\a\\b"}, {"D:x", "D:\\x"},
      {"x\\y", "C:\\windows\\x\\y"}, {"C:x", "C:\\windows\\x"}, {"\\G.Ini", "C:\\G.Ini"},
      {"C:..\\x", "C:\\x"}, {"C:\\a\\..\\..\\b", "C:\\b"}, {"C:\\a\\.\\b\\.", "C:\\a\\b"},
      {"C:\\a..\\b", "C:\\a.\\b"}, {"C:\\a. .\\b", "C:\\a. \\b"}, {"C:\\Q:", "C:\\Q:"},
      {"C:\\a\\. \\b!", "C:\\a\\. \\b!"}, {"C:\\a\\b. . ", "C:\\a\\b"},
      {"C:\\windows\\...\\x", "123"}, {"C:\\a\\...", "123"}, {"C:\\a?", "123"},
      {"C:\\a\x1F\\x", "123"}, {"//srv/share/x", "3"}, {"C:\\a\\x\\", "123"}};
  // clang-format on
  for (const auto& [path, expected] : cases) {
    const DosPath resolved = ResolveDosPath(path, "C:\\windows");
    std::string text{resolved.drive, ':'};
    for (const std::string& name : resolved.names) {
      text += "\\" + name;
    }
    EXPECT_EQ(resolved.errorCode != 0 ? std::to_string(resolved.errorCode) : text, expected);
  }
}

// A machine hive holding `valueLines` under the key of SystemRoot, between keys whose SystemRoot
// must not be taken.
std::string Hive(const std::string& valueLines) {
  // clang-format off
  return "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
         "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n\"SystemRoot\"=\"wrong\"\n\n"
         "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n#time=1dd85aedba7a19a\n" +
         valueLines + "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths] 1\n"
         "\"SystemRoot\"=\"wrong\"\n";
  // clang-format on
}

// A Wine prefix: c: links to drive_c, which holds the game in Games\Gorblunk and the Windows
// directory WIN with an earlier settings file.
struct WinePrefix {
  WinePrefix() {
    fs::create_directories(game);
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(win);
    fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
    folder.WriteText("prefix/drive_c/WIN/Gorblunk.Ini", kOldSettings);
    ::setenv("LC_ALL", "C.UTF-8", 1);  // code page 1252
  }

  TempDir folder;
  fs::path prefix = folder.Path() / "prefix";
  fs::path driveC = prefix / "drive_c";
  fs::path game = driveC / "Games" / "Gorblunk";
  fs::path win = driveC / "WIN";
};

TEST(WineDrives, MapUnixPathsOntoTheDeepestDriveAndDosPathsOntoNamesMatchingIgnoringCase) {
  const WinePrefix wine;
  const fs::path other = wine.prefix / "other";
  for (const fs::path& folder : {other / "Deep", wine.driveC / "Windows", wine.driveC / "windows",
                                 wine.driveC / "Jeux/\xC3\x89pop\xC3\xA9"}) {
    fs::create_directories(folder);
  }
  using Link = std::pair<const char*, fs::path>;
  const Link links[] = {Link{"a:", "../other"}, Link{"e:", wine.driveC / "Games"},
                        Link{"b:", "../drive_c"}, Link{"z:", "/"}, Link{"com1", "/dev/ttyS0"}};
  for (const auto& [name, target] : links) {
    fs::create_symlink(target, wine.prefix / "dosdevices" / name);
  }
  const WineDrives drives(wine.prefix);
  // clang-format off
  using UnixRow = std::pair<fs::path, std::string>;
  const UnixRow unixCases[] = {
      {wine.game, "E:\\Gorblunk"}, {wine.driveC, "B:\\"}, {other / "Deep", "A:\\Deep"},
      {"/usr", "Z:\\usr"}, {wine.driveC / "Jeux/\xC3\x89pop\xC3\xA9", "B:\\Jeux\\\xC9pop\xE9"},
      {"relative", "none"}};
  // clang-format on
  for (const auto& [unixPath, dosPath] : unixCases) {
    EXPECT_EQ(drives.DosPathFromUnix(unixPath).value_or("none"), dosPath);
  }
  // Unix paths below the prefix as relative paths.
  const std::string devices = (wine.prefix / "dosdevices/..").string();
  // clang-format off
  using DosRow = std::pair<const char*, const char*>;
  const DosRow dosCases[] = {
      {"C:\\GAMES\\gorblunk\\x", "drive_c/Games/Gorblunk/x"}, {"a:\\deep\\\\x", "other/Deep/x"},
      {"C:\\No\\Dir\\x", "drive_c/No/Dir/x"}, {"C:\\windows", "drive_c/windows"},
      {"C:\\WINDOWS", "drive_c/Windows"},
      {"C:\\JEUX\\\xC9POP\xC9\\x", "drive_c/Jeux/\xC3\x89pop\xC3\xA9/x"},
      {"Q:\\x", "2"}, {"Q:\\W\\x", "3"},
      {"C:\\a|b", "123"}};
  // clang-format on
  for (const auto& [dosPath, unixPath] : dosCases) {
    const UnixPath mapped = UnixPathFromDos(drives, dosPath, "C:\\Games\\Gorblunk");
    const fs::path below = fs::path(mapped.path).lexically_relative(devices);
    EXPECT_EQ(mapped.errorCode != 0 ? std::to_string(mapped.errorCode) : below.string(), unixPath);
  }
  // In code page 932 the trail byte of 0x83 0x5C is no backslash.
  ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
  EXPECT_EQ(UnixPathFromDos(drives, "\\\x83\x5C\\x", "C:\\").path,
            (wine.prefix / "dosdevices/../drive_c/\xE3\x82\xBD/x").string());
  ::setenv("LC_ALL", "C.UTF-8", 1);
  EXPECT_EQ(std::tuple(drives.Root('Z'), drives.Root('d'), drives.Root('?')),
            std::tuple(fs::path("/"), fs::path(), fs::path()));
}

// A prefix is usable with dosdevices/ and Wine's signature as the first line of system.reg.
TEST(WinePrefix, IsUsableOnlyAsAnAbsoluteFolderWithDriveLinksAndAWineHive) {
  const WinePrefix wine;
  const char kSignature[] = "WINE REGISTRY Version 2\n";
  using Row = std::tuple<fs::path, const char*, bool>;
  // clang-format off
  const Row cases[] = {
      {wine.prefix, "WINE REGISTRY Version 2\r\n", true}, {wine.prefix, "", false},
      {wine.prefix, "WINE REGISTRY Version 2 ", false}, {wine.driveC, kSignature, false},
      {fs::relative(wine.prefix), kSignature, false}};
  // clang-format on
  for (const auto& [prefix, firstLine, usable] : cases) {
    std::ofstream((prefix / "system.reg").string(), std::ios::binary) << firstLine;
    EXPECT_EQ(IsWinePrefix(prefix), usable) << prefix << firstLine;
  }
}

TEST(WinePrefixFromEnvironment, IsWinePrefixElseDotWineInTheHomeDirectory) {
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  const auto prefixWith = [](const char* winePrefix, const char* homeDirectory) {
    winePrefix != nullptr ? ::setenv("WINEPREFIX", winePrefix, 1) : ::unsetenv("WINEPREFIX");
    homeDirectory != nullptr ? ::setenv("HOME", homeDirectory, 1) : ::unsetenv("HOME");
    return WinePrefixFromEnvironment();
  };
  const fs::path userWine = fs::path(::getpwuid(::getuid())->pw_dir) / ".wine";
  EXPECT_EQ((std::vector<fs::path>{prefixWith("/opt/prefix", "/home/player"),
                                   prefixWith("", "/home/player"), prefixWith(nullptr, nullptr),
                                   prefixWith(nullptr, "")}),
            (std::vector<fs::path>{"/opt/prefix", "/home/player/.wine", userWine, userWine}));
  ::setenv("HOME", home.c_str(), 1);
}

// The data as Wine 8 writes it for `wine reg add` of each type, "none" where it cannot be read, and
// the last of two lines naming the value; keys and names match ignoring case. Bytes not escaped
// are UTF-8, each invalid one U+FFFD. Then SystemRoot as the run reads it: text in the ANSI code
// page up to its first NUL, '?' for a character it lacks (a surrogate pair is one), or the
// failure's message after "!"; the key is closed afterwards.
TEST(WineHive, GivesTheTypeAndTheBytesTheRegistryHoldsAndTheRunReads) {
  const std::string kBadType = "!Invalid data type for 'SystemRoot'";
  using Row = std::tuple<std::string, std::uint32_t, std::string, std::string>;
  // clang-format off
  const Row cases[] = {
      {"\"C:\\\\W \\\"q\\\" %X%\"", 1, Utf16(u"C:\\W \"q\" %X%\0"sv), "C:\\W \"q\" %X%"},
      {"\"\\xe9\\a\\b\\e\\f\\n\\r\\t\\v\\033\\x0041\\]\"", 1,
       Utf16(u"\u00e9\a\b\x1b\f\n\r\t\v\x1b\x41]\0"sv), "\xE9\a\b\x1b\f\n\r\t\v\x1b" "A]"},
      {"\"\xC3\xA9\xFF\xF0\x9F\x98\x80\xC0\x80\\x20ac\\x4e2d\\xd800\\xe000\"", 1,
       Utf16(u"\u00e9\uFFFD\U0001F600\uFFFD\uFFFD\u20ac\u4e2d\xD800\uE000\0"sv), "\xE9????\x80???"},
      {"\"C:\\\\W\"\r", 1, Utf16(u"C:\\W\0"sv), "C:\\W"}, {"str:\"W\"", 1, Utf16(u"W\0"sv), "W"},
      {"str(2):\"%SystemRoot%\"", 2, Utf16(u"%SystemRoot%\0"sv), "%SystemRoot%"},
      {"str(7):\"ab\\0cd\\0\"", 7, Utf16(u"ab\0cd\0\0"sv), kBadType},
      {"dword:12345678", 4, std::string("\x78\x56\x34\x12", 4), kBadType},
      {"hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n  17,ff,Fe", 3,
       "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x17\xff\xfe", kBadType},
      {"hex:", 3, "", ""}, {"hex(b):05,00", 11, std::string("\5\0", 2), kBadType},
      {"hex(1):43,00,3a,00", 1, std::string("C\0:\0", 4), "C:"},
      {"hex(1):41,00,00,00,42,00,00,00", 1, std::string("A\0\0\0B\0\0\0", 8), "A"},
      {"\"C:", 0, "none", ""}, {"str(1):\"C:\"", 0, "none", ""}, {"hex:4g,00", 0, "none", ""},
      {"hex:4", 0, "none", ""}, {"hex(x):00", 0, "none", ""}, {"dword:zz", 4, std::string(4, '\0'), kBadType},
      {"hex(1:00", 0, "none", ""}, {"\"a\"\n\"SYSTEMROOT\" \t= \t\"b\"", 1, Utf16(u"b\0"sv), "b"}};
  // clang-format on
  const TempDir folder;
  ::setenv("LC_ALL", "C.UTF-8", 1);  // code page 1252
  for (const auto& [data, type, bytes, systemRoot] : cases) {
    const std::string hive = Hive("\"SystemRoot\"=" + data + "\n");
    const auto value =
        FindHiveValue(hive, "software\\MICROSOFT\\windows\\currentversion", "systemroot");
    EXPECT_EQ(value ? std::pair(value->type, value->data) : std::pair(0u, std::string("none")),
              std::pair(type, bytes))
        << data;
    WineRegistryKey key(folder.WriteText("system.reg", hive));
    std::string outcome;
    try {
      outcome = ReadSystemRoot(key);
    } catch (const ERegistryException& failure) {
      outcome = "!" + failure.Message();
    }
    std::uint32_t queriedType = 0, size = 0;
    EXPECT_EQ(outcome + (key.QuerySize("SystemRoot", queriedType, size) ? " (left open)" : ""),
              systemRoot)
        << data;
  }
  WineRegistryKey missing(folder.File("none.reg"));
  EXPECT_EQ(ReadSystemRoot(missing), "");
}

TEST(WineHive, FindsNoValueInAnotherFileAndReadsEscapedNames) {
  EXPECT_FALSE(FindHiveValue(Hive("\"SystemRoot\"=\"b\"\n").substr(1),
                             "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot"));
  const std::string escaped =
      "WINE REGISTRY Version 2\n[A\\\\B\\]C\\xe9] 1\n@=\"default\"\n\"N \\\"x\\\"\\\\y\"=\"v\"\n";
  EXPECT_TRUE(FindHiveValue(escaped, "A\\B]C\xC3\xA9", ""));
  EXPECT_TRUE(FindHiveValue(escaped, "A\\B]C\xC3\xA9", "N \"x\"\\y"));
}

TEST(UnixError, IsTheWindowsCodeThatWineGives) {
  const std::map<int, std::int32_t> expected = {{0, 0},        {ENOENT, 3},   {ENOTDIR, 3},
                                                {ELOOP, 1921}, {EACCES, 5},   {EPERM, 5},
                                                {EISDIR, 5},   {ETXTBSY, 5},  {EMFILE, 4},
                                                {ENFILE, 4},   {ENOSPC, 112}, {EDQUOT, 112},
                                                {EINVAL, 123}, {EILSEQ, 123}, {EROFS, 19},
                                                {EEXIST, 80},  {EBUSY, 170},  {EPIPE, 109},
                                                {EIO, 1117},   {EXDEV, 31},   {ENAMETOOLONG, 206},
                                                {EFBIG, 112}};
  for (const auto& [errnoValue, code] : expected) {
    EXPECT_EQ(WindowsErrorFromErrno(errnoValue), code) << errnoValue;
  }
}

// A terminal gets every line as it ends; files and pipes get whole blocks, as SetupRun shows.
TEST(ConsoleOutput, IsWrittenOutLineByLineOnlyOnACharacterDevice) {
  std::FILE* const file = std::tmpfile();
  std::FILE* const device = std::fopen("/dev/null", "w");
  EXPECT_EQ(std::pair(ConsoleMode(::fileno(file)), ConsoleMode(::fileno(device))),
            std::pair(BlockOutput::Mode::kWhenFull, BlockOutput::Mode::kAtEachCall));
  std::fclose(file);
  std::fclose(device);
}

// Each SystemRoot in turn, from the game directory, from directories whose DOS path is 259 and
// 260 characters long, from one on no drive, from a folder linked into drive_c from elsewhere
// and one with a Cyrillic name, with or without a file-size limit, locale and prefix (none, or
// one whose system.reg cannot be read). The earlier settings file is a link to a file of mode
// 0600: the link stays, the file it names is replaced and keeps its mode.
TEST(Program, WritesTheSettingsFileOrReportsAndExitsWithOne) {
  const WinePrefix wine;
  const fs::path deep259 =
      wine.driveC / std::string(90, 'a') / std::string(90, 'b') / std::string(74, 'c');
  const fs::path deep260 = deep259.parent_path() / std::string(75, 'c');
  const fs::path linked = wine.driveC / "Linked", closed = wine.driveC / "Closed",
                 russian = wine.driveC / "\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0";
  for (const fs::path& folder : {deep259, deep260, wine.driveC / "D" / "Gorblunk.Ini",
                                 wine.folder.Path() / "elsewhere", russian, closed}) {
    fs::create_directories(folder);
  }
  fs::create_directory_symlink(wine.folder.Path() / "elsewhere", linked);
  const fs::path broken = wine.folder.Path() / "broken";
  fs::create_directories(broken / "dosdevices");
  fs::create_directories(broken / "system.reg");
  fs::rename(wine.win / "Gorblunk.Ini", wine.win / "Real.ini");
  fs::create_symlink("Real.ini", wine.win / "Gorblunk.Ini");
  fs::permissions(wine.win / "Real.ini", fs::perms::owner_read | fs::perms::owner_write);
  ::setenv("WINEPREFIX", wine.prefix.c_str(), 1);
  const char kWin[] = "\"C:\\\\WIN\"";
  const std::string kBadType =
      Report("00402120", "Invalid data type for 'SystemRoot'", kBanner, "ERegistryException");
  const std::string noPrefix = "Setwright: no Wine prefix at " + wine.driveC.string() +
                               " (set WINEPREFIX to the game's prefix)\n";
  const std::string unreadable =
      "Setwright: cannot read " + (broken / "system.reg").string() + ": Is a directory\n";
  // The directory, SystemRoot, the game directory in the settings file written (none: the earlier
  // file stays and the exit status is 1), the output and more environment.
  using Row = std::tuple<fs::path, const char*, const char*, std::string, std::vector<std::string>>;
  const Row cases[] = {
      Row{wine.game, kWin, "C:\\Games\\Gorblunk", kBanner, {}},
      Row{deep259, "dword:1", nullptr, kBadType, {}},
      Row{deep260, "dword:1", nullptr, Report("00402000", "I/O error 206"), {}},
      Row{wine.game, "\"C:\\\\NoDir\"", nullptr, Report("00403000", "Invalid filename"), {}},
      Row{wine.game, "\"C:\\\\D\"", nullptr, Report("00403000", "File access denied"), {}},
      Row{wine.game, "\"Q:\"", nullptr, Report("00403000", "File not found"), {}},
      Row{wine.game, kWin, nullptr, Report("00403050", "I/O error 112"), {"LIMIT=0"}},
      Row{wine.folder.Path(), "\"\"", nullptr, Report("00402000", "I/O error 15"), {}},
      Row{linked, kWin, "C:\\Linked", kBanner, {"PWD=" + linked.string()}},
      Row{russian, "\"C:\\\\win\"", "C:\\\xC8\xE3\xF0\xE0", kBanner, {"LC_ALL=ru_RU.UTF-8"}},
      Row{wine.game, kWin, nullptr, noPrefix, {"WINEPREFIX=" + wine.driveC.string()}},
      Row{wine.game, kWin, nullptr, unreadable, {"WINEPREFIX=" + broken.string()}}};
  for (const auto& [directory, systemRoot, gameDirectory, output, extra] : cases) {
    wine.folder.WriteText("prefix/system.reg", Hive("\"SystemRoot\"=" + std::string(systemRoot)));
    wine.folder.WriteText("prefix/drive_c/WIN/Gorblunk.Ini", kOldSettings);
    const auto run = RunProcess(
        {"sh", "-c", "ulimit -f ${LIMIT:-unlimited} && exec \"$0\" 2>&1", SETWRIGHT_NATIVE},
        directory, extra);
    EXPECT_EQ(std::tuple(run.exitStatus, run.output, ReadFile(wine.win / "Gorblunk.Ini")),
              std::tuple(gameDirectory != nullptr ? 0 : 1, output,
                         gameDirectory != nullptr ? Settings(gameDirectory) : kOldSettings))
        << systemRoot << " " << directory;
  }
  // The new files are gone.
  EXPECT_EQ(std::distance(fs::directory_iterator(wine.win), fs::directory_iterator()), 2);
  EXPECT_EQ(std::pair(fs::is_symlink(wine.win / "Gorblunk.Ini"),
                      fs::status(wine.win / "Real.ini").permissions()),
            std::pair(true, fs::perms::owner_read | fs::perms::owner_write));
  // A run killed before the new file is complete leaves nothing (where strace can kill it).
  if (RunProcess({"strace", "-V"}, "/").exitStatus == 0) {
    const auto killed = RunProcess(
        {"strace", "-o", "/dev/null", "-e", "inject=fsync:signal=KILL", SETWRIGHT_NATIVE},
        wine.game);
    EXPECT_EQ(std::pair(killed.exitStatus,
                        std::distance(fs::directory_iterator(wine.win), fs::directory_iterator())),
              std::pair(-1, 2L));
  }
  // Where no file may be created the earlier file is written in place; beyond a file-size limit
  // (512 bytes from the deepest folder) the earlier bytes go back.
  wine.folder.WriteText("prefix/system.reg", Hive("\"SystemRoot\"=\"C:\\\\Closed\""));
  wine.folder.WriteText("prefix/drive_c/Closed/Gorblunk.Ini", kOldSettings);
  fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_exec);
  ASSERT_EQ(RunProcess({"chattr", "+i", closed}, "/").exitStatus, 0);  // keeps root out too
  const auto limited =
      RunProcess({"sh", "-c", "ulimit -f 1 && exec \"$0\"", SETWRIGHT_NATIVE}, deep259);
  const std::string afterLimit = ReadFile(closed / "Gorblunk.Ini");
  const auto inPlace = RunProcess({SETWRIGHT_NATIVE}, wine.game);
  RunProcess({"chattr", "-i", closed}, "/");
  EXPECT_EQ(std::tuple(limited.exitStatus, afterLimit, inPlace.exitStatus,
                       ReadFile(closed / "Gorblunk.Ini")),
            std::tuple(1, kOldSettings, 0, Settings()));
  // `Setwright | true`: a closed pipe is an output error that ends the run with 1, not a signal.
  const char kIntoClosedPipe[] =
      "import os, subprocess, sys; r, w = os.pipe(); os.close(r); "
      "sys.exit(subprocess.call(sys.argv[1:], stdout=w))";
  EXPECT_EQ(RunProcess({"python3", "-c", kIntoClosedPipe, SETWRIGHT_NATIVE}, wine.game).exitStatus,
            1);
}

}  // namespace
}  // namespace setwright
