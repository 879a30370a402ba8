// The Wine-prefix layer: code page, DOS paths, drive links, the registry hive, Unix errors and
// the platform on a real folder.
#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
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
#include "setup_run.h"
#include "system_root.h"
#include "unix_error.h"
#include "wine_hive.h"
#include "wine_paths.h"
#include "wine_registry_key.h"

namespace fs = std::filesystem;

namespace setwright {
namespace {

using testing::WinePrefix;
using testing_support::ReadFile;
using testing_support::WorkingDirectory;

TEST(CodePage, MapsBytesOfWindows1252ToTheirCharactersAndBack) {
  // UTF-8 of each character; 0x81 is one of the five bytes that stand for their C1 control.
  const std::pair<char, const char*> pairs[] = {{'\x80', "\xE2\x82\xAC"}, {'\x8A', "\xC5\xA0"},
                                                {'\x9F', "\xC5\xB8"},     {'\x81', "\xC2\x81"},
                                                {'\xE9', "\xC3\xA9"},     {'A', "A"}};
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
}

TEST(CodePage, MatchesNamesIgnoringCaseInAsciiAndBeyond) {
  CodePage& codePage = CodePageConverter(kAnsiCodePage);
  EXPECT_TRUE(codePage.EqualIgnoringCase("Gorblunk.Ini", "GORBLUNK.INI"));
  EXPECT_TRUE(codePage.EqualIgnoringCase("\xE9t\xE9\xFE", "\xC9T\xC9\xDE"));        // été þ
  EXPECT_TRUE(codePage.EqualIgnoringCase("\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"));  // šœžÿ
  EXPECT_FALSE(codePage.EqualIgnoringCase("\xF7", "\xD7"));  // ÷ and × are no pair
  EXPECT_FALSE(codePage.EqualIgnoringCase("Gorblunk.Ini", "Gorblunk.In"));
}

// Expected values as Wine's GetFullPathNameA and CreateFileA give them: drive and names joined
// by backslashes, or the error code.
TEST(DosPath, FollowsTheWindowsFullPathRules) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\WIN\\\\Gorblunk.Ini", "C:\\WIN\\Gorblunk.Ini"},
      {"c:/a//b", "c:\\a\\b"},
      {"\\Gorblunk.Ini", "C:\\Gorblunk.Ini"},
      {"x\\y", "C:\\windows\\x\\y"},
      {"C:x", "C:\\windows\\x"},
      {"D:x", "D:\\x"},
      {"C:..\\x", "C:\\x"},
      {"C:\\a\\..\\..\\..\\b", "C:\\b"},
      {"C:\\a\\.\\b\\.", "C:\\a\\b"},
      {"C:\\a..\\b", "C:\\a.\\b"},
      {"C:\\a. .\\b", "C:\\a. \\b"},
      {"C:\\a\\. \\b", "C:\\a\\. \\b"},
      {"C:\\a\\....\\b", "C:\\a\\...\\b"},
      {"C:\\a\\b. . ", "C:\\a\\b"},
      {"C:\\Q:\\x", "C:\\Q:\\x"},
      {"C:\\%SystemRoot%\\x", "C:\\%SystemRoot%\\x"},
      // "..." loses one dot and is not looked at again: ".." then names no directory.
      {"C:\\windows\\...\\x", "123"},
      {"C:\\a\\x\\", "123"},
      {"C:\\a\\...", "123"},
      {"C:\\ab*\\x", "123"},
      {"C:\\x<.ini", "123"},
      {"C:\\a|b\\x", "123"},
      {"C:\\a\"b", "123"},
      {"C:\\a\tb\\x", "123"},
      {"C:\\a?", "123"},
      {"C:\\a>", "123"},
      {"\\\\server\\share\\x", "3"},
      {"//server/share/x", "3"}};
  for (const auto& [path, expected] : cases) {
    const DosPath resolved = ResolveDosPath(path, "C:\\windows");
    std::string text{resolved.drive, ':'};
    for (const std::string& name : resolved.names) {
      text += "\\" + name;
    }
    EXPECT_EQ(resolved.errorCode != 0 ? std::to_string(resolved.errorCode) : text, expected)
        << path;
  }
  EXPECT_EQ(ResolveDosPath("Gorblunk.Ini", "D:\\").names, std::vector<std::string>{"Gorblunk.Ini"});
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
  EXPECT_EQ(drives.DosPathFromUnix(wine.driveC / "Jeux" / "\xC3\x89pop\xC3\xA9"),
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
  const std::pair<const char*, std::string> cases[] = {
      {"C:\\GAMES\\gorblunk\\x.Ini", c + "Games/Gorblunk/x.Ini"},
      {"c:\\games\\GORBLUNK.INI", c + "Games/gorblunk.ini"},
      {"\\x.Ini", c + "x.Ini"},
      {"x.Ini", c + "Games/Gorblunk/x.Ini"},
      {"a:\\deep\\\\x.Ini", (other / "Deep/x.Ini").string()},
      {"C:\\NoSuch\\Dir\\x", c + "NoSuch/Dir/x"},
      {"C:\\windows\\x", c + "windows/x"},
      {"C:\\WINDOWS\\x", c + "Windows/x"},
      {"C:\\JEUX\\\xC9POP\xC9\\x", c + "Jeux/\xC3\x89pop\xC3\xA9/x"},
      {"C:\\Caf\xE9\\x", c + "Caf\xC3\xA9/x"},
      {"Q:\\x.Ini", "2"},
      {"Q:\\W\\x.Ini", "3"},
      {"C:\\a|b\\x.Ini", "123"}};
  for (const auto& [dosPath, expected] : cases) {
    const UnixPath mapped = UnixPathFromDos(drives, dosPath, "C:\\Games\\Gorblunk");
    EXPECT_EQ(mapped.errorCode != 0 ? std::to_string(mapped.errorCode) : mapped.path, expected)
        << dosPath;
  }
}

TEST(WinePrefixFromEnvironment, IsWinePrefixElseDotWineInTheHomeDirectory) {
  const std::string prefix = std::getenv("WINEPREFIX") ? std::getenv("WINEPREFIX") : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("WINEPREFIX", "/opt/prefix", 1);
  EXPECT_EQ(WinePrefixFromEnvironment(), fs::path("/opt/prefix"));
  ::setenv("WINEPREFIX", "", 1);
  ::setenv("HOME", "/home/player", 1);
  EXPECT_EQ(WinePrefixFromEnvironment(), fs::path("/home/player/.wine"));
  ::unsetenv("WINEPREFIX");
  ::setenv("HOME", "", 1);
  const fs::path passwdHome = WinePrefixFromEnvironment();
  ::unsetenv("HOME");
  EXPECT_EQ(WinePrefixFromEnvironment(), passwdHome);
  EXPECT_EQ(passwdHome, fs::path(::getpwuid(::getuid())->pw_dir) / ".wine");
  ::setenv("HOME", home.c_str(), 1);
  if (!prefix.empty()) {
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
  }
}

std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

// The lines are those that Wine 8 writes for `wine reg add` of each type.
TEST(WineHive, GivesTheTypeAndTheBytesTheRegistryHolds) {
  const std::tuple<std::string, std::uint32_t, std::string> cases[] = {
      {"\"C:\\\\windows\"", 1, Utf16(std::u16string(u"C:\\windows\0", 11))},
      {"\"C:\\\\W \\\"q\\\" %X%\"", 1, Utf16(std::u16string(u"C:\\W \"q\" %X%\0", 13))},
      {"\"\\xe9\\a\\b\\e\\f\\n\\r\\t\\v\\033\\x0041\\]\"", 1,
       Utf16(std::u16string(u"\u00e9\a\b\x1b\f\n\r\t\v\x1b\x41]\0", 13))},
      {"\"\xC3\xA9\xF0\x9F\x98\x80\"", 1, Utf16(std::u16string(u"\u00e9\U0001F600\0", 4))},
      {"str:\"W\"", 1, Utf16(std::u16string(u"W\0", 2))},
      {"str(2):\"%SystemRoot%\"", 2, Utf16(std::u16string(u"%SystemRoot%\0", 13))},
      {"str(7):\"ab\\0cd\\0\"", 7, Utf16(std::u16string(u"ab\0cd\0\0", 7))},
      {"dword:12345678", 4, std::string("\x78\x56\x34\x12", 4)},
      {"hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n  17,ff,Fe", 3,
       "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15\x16"
       "\x17\xff\xfe"},
      {"hex:", 3, ""},
      {"hex(b):05,00,00,00,00,00,00,00", 11, std::string("\5\0\0\0\0\0\0\0", 8)},
      {"hex(0):30,00", 0, std::string("0\0", 2)},
      {"\"C:\\\\W\"\r", 1, Utf16(std::u16string(u"C:\\W\0", 5))}};
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
  const std::string escaped =
      "WINE REGISTRY Version 2\n[A\\\\B\\]C\\xe9] 1\n@=\"default\"\n\"N \\\"x\\\"\\\\y\"=\"v\"\n";
  EXPECT_TRUE(FindHiveValue(escaped, "A\\B]C\xC3\xA9", ""));
  EXPECT_TRUE(FindHiveValue(escaped, "A\\B]C\xC3\xA9", "N \"x\"\\y"));
  for (const std::string lines :
       {"\"SystemRoot2\"=\"C:\"", "\"SystemRoot\"=\"C:", "#SystemRoot=\"C:\"",
        "\"SystemRoot\"=str(1):\"C:\"", "\"SystemRoot\"=hex:4g,00", "\"SystemRoot\"=hex:4",
        "\"SystemRoot\"=hex(x):00", "\"SystemRoot\"=dword:"}) {
    EXPECT_FALSE(FindHiveValue(testing::Hive(lines + "\n"),
                               "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot"))
        << lines;
  }
  EXPECT_FALSE(FindHiveValue(testing::Hive("\"SystemRoot\"=\"C:\"\n").substr(1),
                             "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot"));
}

TEST(WineRegistryKey, GivesTextInTheAnsiCodePage) {
  const std::pair<const char*, const char*> cases[] = {
      {"\"C:\\\\Sp\\xe9le\\x20ac\\x4e2d\"", "C:\\Sp\xE9le\x80?"},
      {"hex(1):43,00,3a,00", "C:"},
      {"\"\"", ""},
      {"dword:00000001", "!Invalid data type for 'SystemRoot'"}};
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
  }
  WineRegistryKey missing(folder.File("none.reg"));
  EXPECT_EQ(ReadSystemRoot(missing), "");
}

TEST(UnixError, IsTheWindowsCodeThatWineGives) {
  const std::pair<int, std::int32_t> cases[] = {
      {0, 0},        {ENOENT, 3},   {ENOTDIR, 3},        {ELOOP, 3},  {EACCES, 5},   {EPERM, 5},
      {EISDIR, 5},   {ETXTBSY, 5},  {EMFILE, 4},         {ENFILE, 4}, {ENOSPC, 112}, {EDQUOT, 112},
      {EINVAL, 123}, {EILSEQ, 123}, {ENAMETOOLONG, 206}, {EROFS, 19}, {EEXIST, 80},  {EBUSY, 170},
      {EPIPE, 109},  {EIO, 1117},   {EXDEV, 31}};
  for (const auto& [errnoValue, code] : cases) {
    EXPECT_EQ(WindowsErrorFromErrno(errnoValue), code) << errnoValue;
  }
}

TEST(UnixFileOperations, ReplaceTheFileOnlyOnceClosedAndGiveWindowsCodes) {
  const WinePrefix wine;
  UnixFileOperations files;
  const fs::path fresh = wine.win / "Gorblunk.$$$";
  EXPECT_EQ(files.CheckWritable(wine.settings), 0);
  EXPECT_EQ(files.CheckWritable(wine.win / "missing"), 0);
  EXPECT_EQ(files.CheckWritable(wine.win), 5);
  EXPECT_EQ(files.Create(wine.win / "no" / "x"), 3);
  ASSERT_EQ(files.Create(fresh), 0);
  ASSERT_EQ(files.Write("new", 3), 0);
  EXPECT_EQ(files.Sync(), 0);
  EXPECT_EQ(files.Close(), 0);
  EXPECT_EQ(ReadFile(wine.settings), testing::kOldSettings);
  fs::create_directories(wine.game / "D");
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

TEST(UnixFileOperations, TooManyOpenFilesGiveCodeFour) {
  const WinePrefix wine;
  UnixFileOperations files;
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  const int lowestFree = ::open("/dev/null", O_RDONLY);
  ::close(lowestFree);
  rlimit low = saved;
  low.rlim_cur = static_cast<rlim_t>(lowestFree);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  const std::int32_t code = files.Create(wine.win / "x");
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
  EXPECT_EQ(code, 4);
}

TEST(WinePlatform, BuffersStandardOutputLineByLineOnlyOnACharacterDevice) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  const int device = ::open("/dev/null", O_WRONLY);
  const testing_support::TempDir folder;
  const int file = ::open(folder.File("out").c_str(), O_WRONLY | O_CREAT, 0600);
  EXPECT_EQ(ConsoleMode(pipeEnds[1]), BlockOutput::Mode::kWhenFull);
  EXPECT_EQ(ConsoleMode(file), BlockOutput::Mode::kWhenFull);
  EXPECT_EQ(ConsoleMode(device), BlockOutput::Mode::kAtEachCall);
  {
    UnixFileOperations files;
    WinePlatform platform(folder.Path(), files, file);
    EXPECT_EQ(platform.WriteStandardOutput("line\r\n"), 0);
    EXPECT_EQ(ReadFile(folder.File("out")), "");
    platform.FinishStandardOutput();
    EXPECT_EQ(ReadFile(folder.File("out")), "line\r\n");
  }
  for (const int descriptor : {pipeEnds[0], pipeEnds[1], device, file}) {
    ::close(descriptor);
  }
}

TEST(WinePlatform, RunsTheSetupInThePrefixFromTheGameDirectory) {
  const WinePrefix wine;
  const WorkingDirectory inGame(wine.game);
  const int out = ::open(wine.folder.File("out").c_str(), O_WRONLY | O_CREAT, 0600);
  {
    UnixFileOperations files;
    WinePlatform platform(wine.prefix, files, out);
    EXPECT_EQ(RunSetup(platform, "Setwright"), 0);
    platform.FinishStandardOutput();
  }
  ::close(out);
  EXPECT_EQ(ReadFile(wine.folder.File("out")), testing::kBanner);
  EXPECT_EQ(ReadFile(wine.settings), testing::kSettingsFile);
  EXPECT_EQ(std::distance(fs::directory_iterator(wine.win), fs::directory_iterator()), 1);
}

TEST(WinePlatform, CreatesTheSettingsFileOrGivesTheCodeAndLeavesNothing) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"..\\Gorblunk.Ini", 0},        {"C:\\NoSuchDir\\Gorblunk.Ini", 3},
      {"C:\\plain\\Gorblunk.Ini", 3}, {"C:\\D\\Gorblunk.Ini", 5},
      {"C:\\W?N\\Gorblunk.Ini", 123}, {"Q:\\Gorblunk.Ini", 2},
      {"Q:\\WIN\\Gorblunk.Ini", 3},   {"C:\\WIN\\Gorblunk.In?", 123}};
  for (const auto& [path, code] : cases) {
    const WinePrefix wine;
    wine.folder.WriteText("prefix/drive_c/plain", "x");
    fs::create_directories(wine.driveC / "D" / "Gorblunk.Ini");
    const WorkingDirectory inGame(wine.game);
    UnixFileOperations files;
    WinePlatform platform(wine.prefix, files);
    EXPECT_EQ(platform.CreateSettingsFile(path), code) << path;
    if (code == 0) {
      EXPECT_EQ(platform.CloseSettingsFile(), 0);
      EXPECT_TRUE(fs::is_regular_file(wine.driveC / "Games" / "Gorblunk.Ini"));
    }
    platform.DiscardSettingsFile();
    EXPECT_FALSE(fs::exists(wine.driveC / "Games" / "Gorblunk.$$$"));
    EXPECT_FALSE(fs::exists(wine.driveC / "WIN" / "Gorblunk.$$$"));
  }
}

TEST(WinePlatform, ReadsTheCurrentDirectoryAsItsDosPath) {
  const WinePrefix wine;
  UnixFileOperations files;
  WinePlatform platform(wine.prefix, files);
  const fs::path deep =
      wine.driveC / std::string(90, 'a') / std::string(90, 'b') / std::string(90, 'c');
  fs::create_directories(deep);
  const std::pair<fs::path, std::string> cases[] = {
      {wine.game, "C:\\Games\\Gorblunk"}, {deep, "206"}, {wine.folder.Path(), "C:\\windows"}};
  for (const auto& [unixDirectory, expected] : cases) {
    const WorkingDirectory in(unixDirectory);
    std::string directory;
    const std::int32_t code = platform.ReadCurrentDirectory(directory);
    EXPECT_EQ(code != 0 ? std::to_string(code) : directory, expected);
  }
}

}  // namespace
}  // namespace setwright
