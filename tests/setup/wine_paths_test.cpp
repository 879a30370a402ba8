#include "wine_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "test_support.h"

namespace fs = std::filesystem;

namespace setwright {
namespace {

// A prefix with c: on its drive_c, d: on a folder beside it and z: on the root.
class WinePrefixPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix_ / "dosdevices");
    fs::create_directories(prefix_ / "drive_c" / "Games" / "Gorblunk");
    fs::create_directories(other_ / "Deep");
    Link("c:", "../drive_c");
    Link("d:", other_);
    Link("z:", "/");
    Link("com1", "/dev/ttyS0");
  }

  void Link(const std::string& name, const fs::path& target) {
    fs::create_symlink(target, prefix_ / "dosdevices" / name);
  }

  // The DOS spelling of an absolute Unix path on z:.
  static std::string OnDriveZ(const fs::path& path) {
    std::string dos = "Z:" + path.string();
    std::replace(dos.begin(), dos.end(), '/', '\\');
    return dos;
  }

  testing::TempFolder folder_;
  fs::path prefix_ = folder_.Path() / "prefix";
  fs::path driveC_ = prefix_ / "drive_c";
  fs::path other_ = folder_.Path() / "other";
};

TEST_F(WinePrefixPaths, UnixDirectoriesTakeTheDriveOfTheirDeepestDriveFolder) {
  const WineDrives drives(prefix_);
  EXPECT_EQ(drives.DosPathFromUnix(driveC_ / "Games" / "Gorblunk"), "C:\\Games\\Gorblunk");
  EXPECT_EQ(drives.DosPathFromUnix(driveC_), "C:\\");
  EXPECT_EQ(drives.DosPathFromUnix(other_ / "Deep"), "D:\\Deep");
  EXPECT_EQ(drives.DosPathFromUnix(folder_.Path()), OnDriveZ(folder_.Path()));
  EXPECT_EQ(drives.DosPathFromUnix("/"), "Z:\\");
}

TEST_F(WinePrefixPaths, ADeeperDriveWinsAndTheLowerLetterOnATie) {
  Link("e:", driveC_ / "Games");
  Link("b:", "../drive_c");
  const WineDrives drives(prefix_);
  EXPECT_EQ(drives.DosPathFromUnix(driveC_ / "Games" / "Gorblunk"), "E:\\Gorblunk");
  EXPECT_EQ(drives.DosPathFromUnix(driveC_), "B:\\");
}

TEST_F(WinePrefixPaths, NamesReachTheDosPathInTheAnsiCodePage) {
  fs::create_directories(driveC_ / "Jeux" /
                         "\xC3\x89pop\xC3\xA9"
                         "e");
  const WineDrives drives(prefix_);
  EXPECT_EQ(drives.DosPathFromUnix(driveC_ / "Jeux" /
                                   "\xC3\x89pop\xC3\xA9"
                                   "e"),
            "C:\\Jeux\\\xC9pop\xE9"
            "e");
}

TEST_F(WinePrefixPaths, APathOnNoDriveHasNoDosPath) {
  fs::remove(prefix_ / "dosdevices" / "z:");
  const WineDrives drives(prefix_);
  EXPECT_FALSE(drives.DosPathFromUnix(other_.parent_path()).has_value());
  EXPECT_TRUE(drives.Root('z').empty());
}

TEST(WineDrivesWithoutPrefix, AreThoseOfANewPrefix) {
  const testing::TempFolder folder;
  const WineDrives drives(folder.Path() / "no prefix here");
  EXPECT_EQ(drives.Root('Z'), fs::path("/"));
  EXPECT_TRUE(drives.Root('c').empty()) << "drive_c does not exist yet";
  EXPECT_EQ(drives.DosPathFromUnix("/usr"), "Z:\\usr");
}

struct MappingCase {
  const char* dosPath;
  const char* unixPath;  // below the test folder
  std::int32_t errorCode;
};

class DosPathsInPrefix : public WinePrefixPaths,
                         public ::testing::WithParamInterface<MappingCase> {};

TEST_P(DosPathsInPrefix, MapOntoTheDriveFoldersMatchingExistingNamesIgnoringCase) {
  fs::create_directories(driveC_ / "Windows");
  fs::create_directories(driveC_ / "windows");
  fs::create_directories(driveC_ / "Jeux" /
                         "\xC3\x89pop\xC3\xA9"
                         "e");
  testing::WriteFile(driveC_ / "Games" / "gorblunk.ini", "old");
  const WineDrives drives(prefix_);
  const UnixPath mapped = UnixPathFromDos(drives, GetParam().dosPath, "C:\\Games\\Gorblunk");
  EXPECT_EQ(mapped.errorCode, GetParam().errorCode);
  if (GetParam().errorCode == 0) {
    EXPECT_EQ(mapped.path, (folder_.Path() / GetParam().unixPath).string());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DosPathsInPrefix,
    ::testing::Values(
        MappingCase{"C:\\GAMES\\gorblunk\\Gorblunk.Ini",
                    "prefix/dosdevices/../drive_c/Games/Gorblunk/Gorblunk.Ini", 0},
        MappingCase{"c:\\games\\GORBLUNK.INI", "prefix/dosdevices/../drive_c/Games/gorblunk.ini",
                    0},
        MappingCase{"\\Gorblunk.Ini", "prefix/dosdevices/../drive_c/Gorblunk.Ini", 0},
        MappingCase{"Gorblunk.Ini", "prefix/dosdevices/../drive_c/Games/Gorblunk/Gorblunk.Ini", 0},
        MappingCase{"D:\\deep\\\\Gorblunk.Ini", "other/Deep/Gorblunk.Ini", 0},
        MappingCase{"C:\\NoSuch\\Dir\\Gorblunk.Ini",
                    "prefix/dosdevices/../drive_c/NoSuch/Dir/Gorblunk.Ini", 0},
        MappingCase{"C:\\windows\\x", "prefix/dosdevices/../drive_c/windows/x", 0},
        MappingCase{"C:\\WINDOWS\\x", "prefix/dosdevices/../drive_c/Windows/x", 0},
        MappingCase{"C:\\JEUX\\\xC9POP\xC9"
                    "E\\x",
                    "prefix/dosdevices/../drive_c/Jeux/\xC3\x89pop\xC3\xA9"
                    "e/x",
                    0},
        MappingCase{"C:\\Caf\xE9\\x", "prefix/dosdevices/../drive_c/Caf\xC3\xA9/x", 0},
        MappingCase{"Q:\\Gorblunk.Ini", "", 2}, MappingCase{"Q:\\W\\Gorblunk.Ini", "", 3},
        MappingCase{"C:\\a|b\\Gorblunk.Ini", "", 123}));

TEST(WinePrefixFromEnvironment, IsWinePrefixElseDotWineAtHome) {
  const char* savedPrefix = std::getenv("WINEPREFIX");
  const std::string prefix = savedPrefix != nullptr ? savedPrefix : "";
  ::setenv("WINEPREFIX", "/opt/games/prefix", 1);
  EXPECT_EQ(WinePrefixFromEnvironment(), fs::path("/opt/games/prefix"));
  ::unsetenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    EXPECT_EQ(WinePrefixFromEnvironment(), fs::path(home) / ".wine");
  }
  if (savedPrefix != nullptr) {
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
  }
}

}  // namespace
}  // namespace setwright
