// The Wine-prefix layer and the native program: code page, DOS paths, drive links, the registry
// hive, Unix errors and files, the platform and the program in a prefix made here.
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "code_page.h"
#include "dos_path.h"
#include "failure_report.h"
#include "platform_wine.h"
#include "process.h"
#include "setup_fixtures.h"
#include "unix_error.h"
#include "wine_hive.h"
#include "wine_registry_key.h"

namespace fs = std::filesystem;

namespace setwright {
namespace {

using testing::kBanner;
using testing::kOldSettings;
using testing::WinePrefix;
using testing_support::Output;
using testing_support::ReadFile;
using testing_support::RunProcess;
using testing_support::WorkingDirectory;

TEST(CodePage, MapsTheBytesOfWindows1252ToTheirCharactersAndBack) {
  // UTF-8 of each character; 0x81 is one of the five bytes that stand for their C1 control.
  using Row = std::pair<char, const char*>;
  const Row pairs[] = {Row{'\x80', "\xE2\x82\xAC"}, Row{'\x8A', "\xC5\xA0"},
                       Row{'\x9F', "\xC5\xB8"},     Row{'\x81', "\xC2\x81"},
                       Row{'\xE9', "\xC3\xA9"},     Row{'A', "A"}};
  CodePage& codePage = CodePageConverter(kAnsiCodePage);
  for (const auto& [byte, utf8] : pairs) {
    EXPECT_EQ(codePage.Utf8FromAnsi(std::string(1, byte)), utf8);
    EXPECT_EQ(codePage.AnsiFromUtf8(utf8), std::string(1, byte));
  }
  EXPECT_EQ(codePage.AnsiFromUtf8("\xE4\xB8\xAD!\xF0\x9F\x98\x80"), "?!?");  // CJK, an emoji
  EXPECT_EQ(codePage.AnsiFromUtf8("a\xFF"
                                  "b\xC3"),
            "a?b?");  // invalid and cut-off UTF-8
  EXPECT_EQ(codePage.AnsiFromUtf16(std::string("A\0\xAC\x20\x3D\xD8\x00\xDE!", 9)), "A\x80??");
  EXPECT_EQ(codePage.Utf16FromUtf8("\xC3\xA9\xFF\xF0\x9F\x98\x80"), u"\u00E9\uFFFD\U0001F600");
  EXPECT_THROW(CodePage(437), std::invalid_argument);
  EXPECT_TRUE(codePage.EqualIgnoringCase("Gorblunk.Ini\xE9t\xE9\xFE", "GORBLUNK.INI\xC9T\xC9\xDE"));
  EXPECT_TRUE(codePage.EqualIgnoringCase("\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"));  // šœžÿ
  EXPECT_FALSE(codePage.EqualIgnoringCase("\xF7", "\xD7"));  // ÷ and × are no pair
  EXPECT_FALSE(codePage.EqualIgnoringCase("Gorblunk.Ini", "Gorblunk.In"));
}

// Expected values as Wine's GetFullPathNameA and CreateFileA give them: drive and names joined
// by backslashes, or the error code.
TEST(DosPath, FollowsTheWindowsFullPathRules) {
  using Row = std::pair<const char*, const char*>;
  const Row cases[] = {
      Row{"C:\\W\\\\G.Ini", "C:\\W\\G.Ini"}, Row{"c:/a//b", "c:\\a\\b"},
      Row{"\\G.Ini", "C:\\G.Ini"}, Row{"x\\y", "C:\\windows\\x\\y"}, Row{"C:x", "C:\\windows\\x"},
      Row{"D:x", "D:\\x"}, Row{"C:..\\x", "C:\\x"}, Row{"C:\\a\\..\\..\\..\\b", "C:\\b"},
      Row{"C:\\a\\.\\b\\.", "C:\\a\\b"}, Row{"C:\\a..\\b", "C:\\a.\\b"},
      Row{"C:\\a. .\\b", "C:\\a. \\b"}, Row{"C:\\a\\. \\b", "C:\\a\\. \\b"},
      Row{"C:\\a\\....\\b", "C:\\a\\...\\b"}, Row{"C:\\a\\b. . ", "C:\\a\\b"},
      Row{"C:\\Q:\\x", "C:\\Q:\\x"},
      // "..." loses one dot and is not looked at again: ".." then names no directory.
      Row{"C:\\windows\\...\\x", "123"}, Row{"C:\\a\\x\\", "123"}, Row{"C:\\a\\...", "123"},
      Row{"C:\\ab*\\x", "123"}, Row{"C:\\x<.ini", "123"}, Row{"C:\\a|b\\x", "123"},
      Row{"C:\\a\"b", "123"}, Row{"C:\\a\tb\\x", "123"}, Row{"C:\\a?", "123"}, Row{"C:\\a>", "123"},
      Row{"\\\\srv\\share\\x", "3"}, Row{"//srv/share/x", "3"}};
  for (const auto& [path, expected] : cases) {
    const DosPath resolved = ResolveDosPath(path, "C:\\windows");
    std::string text{resolved.drive, ':'};
    for (const std::string& name : resolved.names) {
      text += "\\" + name;
    }
    EXPECT_EQ(resolved.errorCode != 0 ? std::to_string(resolved.errorCode) : text, expected);
  }
  EXPECT_EQ(ResolveDosPath("G.Ini", "D:\\").names, std::vector<std::string>{"G.Ini"});
}

TEST(WineDrives, GiveUnixDirectoriesTheDriveOfTheirDeepestDriveFolder) {
  const WinePrefix wine;
  const fs::path other = wine.folder.Path() / "other";
  fs::create_directories(other / "Deep");
  fs::create_directories(wine.driveC / "Jeux" / "\xC3\x89pop\xC3\xA9");
  wine.Link("a:", other);
  wine.Link("e:", wine.driveC / "Games");
  wine.Link("b:", "../drive_c");
  wine.Link("z:", "/");
  wine.Link("com1", "/dev/ttyS0");
  const WineDrives drives(wine.prefix);
  EXPECT_EQ(drives.DosPathFromUnix(wine.game), "E:\\Gorblunk");
  EXPECT_EQ(drives.DosPathFromUnix(wine.driveC), "B:\\");
  EXPECT_EQ(drives.DosPathFromUnix(wine.driveC / "Jeux/\xC3\x89pop\xC3\xA9"),
            "B:\\Jeux\\\xC9pop\xE9");
  EXPECT_EQ(drives.DosPathFromUnix(other / "Deep"), "A:\\Deep");
  EXPECT_EQ(drives.DosPathFromUnix("/usr"), "Z:\\usr");
  EXPECT_EQ(drives.DosPathFromUnix("relative"), std::nullopt);
  fs::remove(wine.prefix / "dosdevices" / "z:");
  EXPECT_EQ(WineDrives(wine.prefix).DosPathFromUnix("/usr"), std::nullopt);
  // Without dosdevices, the drives of a new prefix: c: on drive_c (missing here), z: on the root.
  const WineDrives fresh(wine.folder.Path() / "no prefix");
  EXPECT_EQ(fresh.Root('Z'), fs::path("/"));
  EXPECT_TRUE(fresh.Root('c').empty());
  EXPECT_TRUE(fresh.Root('?').empty());
}

TEST(WineDrives, MapDosPathsMatchingExistingNamesIgnoringCase) {
  const WinePrefix wine;
  const fs::path other = wine.folder.Path() / "other";
  fs::create_directories(other / "Deep");
  fs::create_directories(wine.driveC / "Windows");
  fs::create_directories(wine.driveC / "windows");
  fs::create_directories(wine.driveC / "Jeux" / "\xC3\x89pop\xC3\xA9");
  wine.folder.WriteText("prefix/drive_c/Games/gorblunk.ini", "old");
  wine.Link("a:", other);
  const WineDrives drives(wine.prefix);
  const std::string c = (wine.prefix / "dosdevices/../drive_c/").string();
  using Row = std::pair<const char*, std::string>;
  const Row cases[] = {Row{"C:\\GAMES\\gorblunk\\x", c + "Games/Gorblunk/x"},
                       Row{"\\x", c + "x"},
                       Row{"c:\\games\\GORBLUNK.INI", c + "Games/gorblunk.ini"},
                       Row{"x", c + "Games/Gorblunk/x"},
                       Row{"a:\\deep\\\\x", (other / "Deep/x").string()},
                       Row{"C:\\No\\Dir\\x", c + "No/Dir/x"},
                       Row{"C:\\windows\\x", c + "windows/x"},
                       Row{"C:\\WINDOWS\\x", c + "Windows/x"},
                       Row{"C:\\JEUX\\\xC9POP\xC9\\x", c + "Jeux/\xC3\x89pop\xC3\xA9/x"},
                       Row{"C:\\Caf\xE9\\x", c + "Caf\xC3\xA9/x"},
                       Row{"Q:\\x", "2"},
                       Row{"Q:\\W\\x", "3"},
                       Row{"C:\\a|b\\x", "123"}};
  for (const auto& [dosPath, expected] : cases) {
    const UnixPath mapped = UnixPathFromDos(drives, dosPath, "C:\\Games\\Gorblunk");
    EXPECT_EQ(mapped.errorCode != 0 ? std::to_string(mapped.errorCode) : mapped.path, expected);
  }
}

TEST(WinePrefixFromEnvironment, IsWinePrefixElseDotWineInTheHomeDirectory) {
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  ::setenv("WINEPREFIX", "/opt/prefix", 1);
  EXPECT_EQ(WinePrefixFromEnvironment(), fs::path("/opt/prefix"));
  ::setenv("WINEPREFIX", "", 1);
  ::setenv("HOME", "/home/player", 1);
  EXPECT_EQ(WinePrefixFromEnvironment(), fs::path("/home/player/.wine"));
  ::unsetenv("WINEPREFIX");
  ::unsetenv("HOME");
  EXPECT_EQ(WinePrefixFromEnvironment(), fs::path(::getpwuid(::getuid())->pw_dir) / ".wine");
  ::setenv("HOME", "", 1);
  EXPECT_EQ(WinePrefixFromEnvironment(), fs::path(::getpwuid(::getuid())->pw_dir) / ".wine");
  ::setenv("HOME", home.c_str(), 1);
}

std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  }
  return bytes;
}

// The data as Wine 8 writes it for `wine reg add` of each type.
TEST(WineHive, GivesTheTypeAndTheBytesTheRegistryHolds) {
  using Row = std::tuple<std::string, std::uint32_t, std::string>;
  const Row cases[] = {
      Row{"\"C:\\\\W \\\"q\\\" %X%\"", 1, Utf16(std::u16string(u"C:\\W \"q\" %X%\0", 13))},
      Row{"\"\\xe9\\a\\b\\e\\f\\n\\r\\t\\v\\033\\x0041\\]\"", 1,
          Utf16(std::u16string(u"\u00e9\a\b\x1b\f\n\r\t\v\x1b\x41]\0", 13))},
      Row{"\"\xC3\xA9\xF0\x9F\x98\x80\"", 1, Utf16(std::u16string(u"\u00e9\U0001F600\0", 4))},
      Row{"str:\"W\"", 1, Utf16(std::u16string(u"W\0", 2))},
      Row{"str(2):\"%SystemRoot%\"", 2, Utf16(std::u16string(u"%SystemRoot%\0", 13))},
      Row{"str(7):\"ab\\0cd\\0\"", 7, Utf16(std::u16string(u"ab\0cd\0\0", 7))},
      Row{"dword:12345678", 4, std::string("\x78\x56\x34\x12", 4)},
      Row{"hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n  17,ff,Fe", 3,
          "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x17\xff\xfe"},
      Row{"hex:", 3, ""},
      Row{"hex(b):05,00", 11, std::string("\5\0", 2)},
      Row{"hex(0):30,00", 0, std::string("0\0", 2)},
      Row{"\"C:\\\\W\"\r", 1, Utf16(std::u16string(u"C:\\W\0", 5))}};
  for (const auto& [data, type, bytes] : cases) {
    const auto value = FindHiveValue(testing::Hive("\"SystemRoot\"=" + data + "\n"),
                                     "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot");
    ASSERT_TRUE(value.has_value()) << data;
    EXPECT_EQ(value->type, type) << data;
    EXPECT_EQ(value->data, bytes) << data;
  }
}

TEST(WineHive, MatchesKeysAndNamesIgnoringCaseAndTakesTheLastLine) {
  const std::string hive = testing::Hive("\"SYSTEMROOT\"=\"a\"\n\"SystemRoot\"=\"b\"\n");
  const auto value =
      FindHiveValue(hive, "software\\MICROSOFT\\windows\\currentversion", "systemroot");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->data, Utf16(std::u16string(u"b\0", 2)));
  EXPECT_FALSE(FindHiveValue(hive, "Software\\Microsoft\\Windows", "SystemRoot"));
  EXPECT_FALSE(
      FindHiveValue(hive.substr(1), "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot"));
  const std::string escaped =
      "WINE REGISTRY Version 2\n[A\\\\B\\]C\\xe9] 1\n@=\"default\"\n\"N \\\"x\\\"\\\\y\"=\"v\"\n";
  EXPECT_TRUE(FindHiveValue(escaped, "A\\B]C\xC3\xA9", ""));
  EXPECT_TRUE(FindHiveValue(escaped, "A\\B]C\xC3\xA9", "N \"x\"\\y"));
  for (const std::string data :
       {"\"C:", "str(1):\"C:\"", "hex:4g,00", "hex:4", "hex(x):00", "dword:", "hex(1:00"}) {
    EXPECT_FALSE(FindHiveValue(testing::Hive("\"SystemRoot\"=" + data + "\n"),
                               "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot"))
        << data;
  }
}

// SystemRoot as the run reads it from the hive: text in the ANSI code page up to its first NUL,
// or the failure's message after "!".
TEST(WineRegistryKey, GivesTheWindowsDirectoryInTheAnsiCodePage) {
  using Row = std::pair<const char*, const char*>;
  const Row cases[] = {Row{"\"C:\\\\Sp\\xe9le\\x20ac\\x4e2d\"", "C:\\Sp\xE9le\x80?"},
                       Row{"hex(1):43,00,3a,00", "C:"},
                       Row{"hex(1):41,00,00,00,42,00,00,00", "A"},
                       Row{"str(2):\"%WinDir%\"", "%WinDir%"},
                       Row{"\"\"", ""},
                       Row{"hex(4):", ""},
                       Row{"dword:00000001", "!Invalid data type for 'SystemRoot'"},
                       Row{"hex:43,00", "!Invalid data type for 'SystemRoot'"},
                       Row{"str(7):\"C:\\0\"", "!Invalid data type for 'SystemRoot'"},
                       Row{"hex(0):43,00", "!Invalid data type for 'SystemRoot'"}};
  const testing_support::TempDir folder;
  for (const auto& [data, expected] : cases) {
    folder.WriteText("system.reg", testing::Hive("\"SystemRoot\"=" + std::string(data) + "\n"));
    WineRegistryKey key(folder.File("system.reg"));
    std::string outcome;
    try {
      outcome = ReadSystemRoot(key);
    } catch (const ERegistryException& failure) {
      outcome = "!" + failure.Message();
    }
    EXPECT_EQ(outcome, expected);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_FALSE(key.QuerySize("SystemRoot", type, size)) << "the key was left open";
  }
  WineRegistryKey missing(folder.File("none.reg"));
  EXPECT_EQ(ReadSystemRoot(missing), "");
}

TEST(UnixError, IsTheWindowsCodeThatWineGives) {
  using Row = std::pair<int, std::int32_t>;
  const Row cases[] = {Row{0, 0},        Row{ENOENT, 3},   Row{ENOTDIR, 3},
                       Row{ELOOP, 3},    Row{EACCES, 5},   Row{EPERM, 5},
                       Row{EISDIR, 5},   Row{ETXTBSY, 5},  Row{EMFILE, 4},
                       Row{ENFILE, 4},   Row{ENOSPC, 112}, Row{EDQUOT, 112},
                       Row{EINVAL, 123}, Row{EILSEQ, 123}, Row{EROFS, 19},
                       Row{EEXIST, 80},  Row{EBUSY, 170},  Row{EPIPE, 109},
                       Row{EIO, 1117},   Row{EXDEV, 31},   Row{ENAMETOOLONG, 206}};
  for (const auto& [errnoValue, code] : cases) {
    EXPECT_EQ(WindowsErrorFromErrno(errnoValue), code) << errnoValue;
  }
}

TEST(UnixFileOperations, ReplaceTheFileOnlyOnceRenamedAndGiveWindowsCodes) {
  const WinePrefix wine;
  UnixFileOperations files;
  const fs::path fresh = wine.win / "Gorblunk.$$$";
  fs::create_directories(wine.game / "D");
  EXPECT_EQ(files.CheckWritable(wine.settings), 0);
  ASSERT_EQ(files.Create(fresh), 0);
  ASSERT_EQ(files.Write("new", 3), 0);
  EXPECT_EQ(files.Sync(), 0);
  EXPECT_EQ(files.Close(), 0);
  EXPECT_EQ(ReadFile(wine.settings), kOldSettings);
  EXPECT_EQ(files.Rename(fresh, wine.game / "D"), 5);
  EXPECT_EQ(files.Rename(fresh, wine.settings), 0);
  EXPECT_EQ(ReadFile(wine.settings), "new");
  EXPECT_EQ(files.Rename(fresh, wine.settings), 3);
  fs::create_symlink("/dev/full", fresh);
  ASSERT_EQ(files.Create(fresh), 0);
  EXPECT_EQ(files.Write("x", 1), 112);
  files.Remove(fresh);
  EXPECT_FALSE(fs::exists(fs::symlink_status(fresh)));
}

TEST(WinePlatform, BuffersStandardOutputLineByLineOnlyOnACharacterDevice) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  const int device = ::open("/dev/null", O_WRONLY);
  EXPECT_EQ(ConsoleMode(pipeEnds[1]), BlockOutput::Mode::kWhenFull);
  EXPECT_EQ(ConsoleMode(device), BlockOutput::Mode::kAtEachCall);
  for (const int descriptor : {pipeEnds[0], pipeEnds[1], device}) {
    ::close(descriptor);
  }
}

TEST(WinePlatform, CreatesTheSettingsFileOrGivesTheCodeAndLeavesNothing) {
  using Row = std::pair<const char*, std::int32_t>;
  const Row cases[] = {Row{"..\\Gorblunk.Ini", 0},        Row{"C:\\NoSuchDir\\Gorblunk.Ini", 3},
                       Row{"C:\\plain\\Gorblunk.Ini", 3}, Row{"C:\\D\\Gorblunk.Ini", 5},
                       Row{"C:\\W?N\\Gorblunk.Ini", 123}, Row{"Q:\\Gorblunk.Ini", 2},
                       Row{"Q:\\WIN\\Gorblunk.Ini", 3}};
  for (const auto& [path, code] : cases) {
    const WinePrefix wine;
    wine.folder.WriteText("prefix/drive_c/plain", "x");
    fs::create_directories(wine.driveC / "D" / "Gorblunk.Ini");
    const WorkingDirectory inGame(wine.game);
    UnixFileOperations files;
    WinePlatform platform(wine.prefix, files);
    EXPECT_EQ(platform.CreateSettingsFile(path), code) << path;
    EXPECT_EQ(platform.CloseSettingsFile() == 0, code == 0);
    EXPECT_EQ(fs::is_regular_file(wine.driveC / "Games" / "Gorblunk.Ini"), code == 0);
    EXPECT_FALSE(fs::exists(wine.driveC / "Games" / "Gorblunk.$$$"));
  }
}

TEST(WinePlatform, ReadsTheCurrentDirectoryAsItsDosPath) {
  const WinePrefix wine;
  UnixFileOperations files;
  WinePlatform platform(wine.prefix, files);
  const fs::path deep =
      wine.driveC / std::string(90, 'a') / std::string(90, 'b') / std::string(90, 'c');
  fs::create_directories(deep);
  using Row = std::pair<fs::path, std::string>;
  const Row cases[] = {Row{wine.game, "C:\\Games\\Gorblunk"}, Row{deep, "206"},
                       Row{wine.folder.Path(), "C:\\windows"}};
  for (const auto& [unixDirectory, expected] : cases) {
    const WorkingDirectory in(unixDirectory);
    std::string directory;
    const std::int32_t code = platform.ReadCurrentDirectory(directory);
    EXPECT_EQ(code != 0 ? std::to_string(code) : directory, expected);
  }
}

TEST(Program, WritesTheSettingsFileOrReportsAndExitsWithOneIntoAClosedPipe) {
  const WinePrefix wine;
  const std::vector<std::string> environment = {"WINEPREFIX=" + wine.prefix.string()};
  const auto written = RunProcess({SETWRIGHT_NATIVE}, wine.game, environment);
  EXPECT_EQ(written.exitStatus, 0);
  EXPECT_EQ(written.output, kBanner);
  EXPECT_EQ(ReadFile(wine.settings), testing::kSettingsFile);
  EXPECT_EQ(std::distance(fs::directory_iterator(wine.win), fs::directory_iterator()), 1);
  wine.folder.WriteText("prefix/drive_c/WIN/Gorblunk.Ini", kOldSettings);
  // `Setwright | true`: a closed pipe is an output error that ends the run with 1, not a signal.
  const auto piped = RunProcess({SETWRIGHT_NATIVE}, wine.game, environment, Output::kClosed);
  EXPECT_EQ(piped.exitStatus, 1);
  wine.WriteHive("\"SystemRoot\"=dword:00000001\n");
  const auto reported = RunProcess({SETWRIGHT_NATIVE}, wine.game, environment);
  EXPECT_EQ(reported.exitStatus, 1);
  EXPECT_EQ(reported.output, kBanner + std::string("Exception ERegistryException in module "
                                                   "Setwright at 00402120.\nInvalid data type "
                                                   "for 'SystemRoot'.\r\n"));
  EXPECT_EQ(ReadFile(wine.settings), kOldSettings);
}

}  // namespace
}  // namespace setwright
