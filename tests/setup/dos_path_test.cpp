#include "dos_path.h"

#include <gtest/gtest.h>

namespace setwright {
namespace {

struct ResolveCase {
  const char* path;
  const char* expected;  // drive, colon and the names joined by backslashes; or the error code
  std::int32_t errorCode;
};

std::string Joined(const DosPath& path) {
  std::string text{path.drive, ':'};
  for (const std::string& name : path.names) {
    text += "\\" + name;
  }
  return text;
}

class ResolvedDosPaths : public ::testing::TestWithParam<ResolveCase> {};

// Expected values as Wine's GetFullPathNameA and CreateFileA give them.
TEST_P(ResolvedDosPaths, FollowTheWindowsFullPathRules) {
  const DosPath resolved = ResolveDosPath(GetParam().path, "C:\\windows");
  EXPECT_EQ(resolved.errorCode, GetParam().errorCode);
  if (GetParam().errorCode == 0) {
    EXPECT_EQ(Joined(resolved), GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResolvedDosPaths,
    ::testing::Values(
        ResolveCase{"C:\\WIN\\Gorblunk.Ini", "C:\\WIN\\Gorblunk.Ini", 0},
        ResolveCase{"C:\\WIN\\\\Gorblunk.Ini", "C:\\WIN\\Gorblunk.Ini", 0},
        ResolveCase{"c:/a//b", "c:\\a\\b", 0}, ResolveCase{"\\Gorblunk.Ini", "C:\\Gorblunk.Ini", 0},
        ResolveCase{"x\\y", "C:\\windows\\x\\y", 0}, ResolveCase{"C:x", "C:\\windows\\x", 0},
        ResolveCase{"D:x", "D:\\x", 0}, ResolveCase{"C:..\\x", "C:\\x", 0},
        ResolveCase{"C:\\a\\..\\..\\..\\b", "C:\\b", 0},
        ResolveCase{"C:\\a\\.\\b\\.", "C:\\a\\b", 0}, ResolveCase{"C:\\a..\\b", "C:\\a.\\b", 0},
        ResolveCase{"C:\\a. .\\b", "C:\\a. \\b", 0}, ResolveCase{"C:\\a\\. \\b", "C:\\a\\. \\b", 0},
        ResolveCase{"C:\\a\\....\\b", "C:\\a\\...\\b", 0},
        ResolveCase{"C:\\a\\b. . ", "C:\\a\\b", 0}, ResolveCase{"C:\\Q:\\x", "C:\\Q:\\x", 0},
        ResolveCase{"C:\\%SystemRoot%\\x", "C:\\%SystemRoot%\\x", 0},
        // "..." loses one dot and is not looked at again: ".." then names no directory.
        ResolveCase{"C:\\windows\\...\\x", "", 123}, ResolveCase{"C:\\a\\x\\", "", 123},
        ResolveCase{"C:\\a\\...", "", 123}, ResolveCase{"C:\\ab*\\x", "", 123},
        ResolveCase{"C:\\x<.ini", "", 123}, ResolveCase{"C:\\a|b\\x", "", 123},
        ResolveCase{"C:\\a\"b", "", 123}, ResolveCase{"C:\\a\tb\\x", "", 123},
        ResolveCase{"\\\\server\\share\\x", "", 3}, ResolveCase{"//server/share/x", "", 3}));

TEST(ResolvedDosPath, TakesTheCurrentDirectoryAtADriveRootAsItIs) {
  EXPECT_EQ(Joined(ResolveDosPath("Gorblunk.Ini", "D:\\")), "D:\\Gorblunk.Ini");
  EXPECT_EQ(Joined(ResolveDosPath("\\W\\Gorblunk.Ini", "D:\\GAMES")), "D:\\W\\Gorblunk.Ini");
}

}  // namespace
}  // namespace setwright
