#include "system_root.h"

#include <gtest/gtest.h>

#include <optional>

#include "failure_report.h"
#include "test_support.h"
#include "wine_registry_key.h"

namespace setwright {
namespace {

// A key that holds at most one value, SystemRoot, and records the calls made on it.
class FakeRegistryKey final : public RegistryKey {
 public:
  bool opens = true;
  std::optional<std::pair<std::uint32_t, std::string>> value;  // type and bytes
  bool secondQueryFails = false;

  std::string openedPath;
  std::size_t bufferSize = 0;
  int closes = 0;

  bool Open(const std::string& subKey) override {
    openedPath = subKey;
    open_ = opens;
    return opens;
  }
  bool QuerySize(const std::string& name, std::uint32_t& type, std::uint32_t& size) override {
    if (!open_ || !value || name != "SystemRoot") {
      return false;
    }
    type = value->first;
    size = static_cast<std::uint32_t>(value->second.size());
    return true;
  }
  bool QueryData(const std::string& name, std::uint32_t& type, std::string& data) override {
    bufferSize = data.size();
    std::uint32_t size = 0;
    if (secondQueryFails || !QuerySize(name, type, size) || size > data.size()) {
      return false;
    }
    data = value->second;
    return true;
  }
  void Close() override {
    ++closes;
    open_ = false;
  }

 private:
  bool open_ = false;
};

struct RootCase {
  const char* name;
  bool opens;
  std::optional<std::pair<std::uint32_t, std::string>> value;
  bool secondQueryFails;
  const char* expected;  // the text, or the failure's message
  bool fails;
};

class ReadSystemRootCases : public ::testing::TestWithParam<RootCase> {};

TEST_P(ReadSystemRootCases, GiveTheTextOrTheFailureAndAlwaysCloseTheOpenKey) {
  FakeRegistryKey key;
  key.opens = GetParam().opens;
  key.value = GetParam().value;
  key.secondQueryFails = GetParam().secondQueryFails;
  if (GetParam().fails) {
    try {
      ReadSystemRoot(key);
      FAIL() << "no failure";
    } catch (const ERegistryException& failure) {
      EXPECT_EQ(failure.Message(), GetParam().expected);
    }
  } else {
    EXPECT_EQ(ReadSystemRoot(key), GetParam().expected);
  }
  EXPECT_EQ(key.openedPath, "Software\\Microsoft\\Windows\\CurrentVersion\\");
  EXPECT_EQ(key.closes, GetParam().opens ? 1 : 0);
  if (key.value && key.bufferSize != 0) {
    EXPECT_EQ(key.bufferSize, key.value->second.size()) << "the buffer has the size asked for";
  }
}

using Value = std::pair<std::uint32_t, std::string>;
constexpr char kBadType[] = "Invalid data type for 'SystemRoot'";

INSTANTIATE_TEST_SUITE_P(
    Table, ReadSystemRootCases,
    ::testing::Values(
        RootCase{"Sz", true, Value{kRegSz, std::string("C:\\WINNT\0", 9)}, false, "C:\\WINNT",
                 false},
        RootCase{"SzWithoutNul", true, Value{kRegSz, "D:\\WIN"}, false, "D:\\WIN", false},
        RootCase{"SzUpToFirstNul", true, Value{kRegSz, std::string("C:\\A\0C:\\B\0", 10)}, false,
                 "C:\\A", false},
        RootCase{"ExpandSzLiterally", true, Value{kRegExpandSz, std::string("%WinDir%\0", 9)},
                 false, "%WinDir%", false},
        RootCase{"EmptyString", true, Value{kRegSz, std::string(1, '\0')}, false, "", false},
        RootCase{"SizeZeroOfAnyType", true, Value{kRegDword, ""}, false, "", false},
        RootCase{"NoValue", true, std::nullopt, false, "", false},
        RootCase{"KeyCannotBeOpened", false, Value{kRegSz, "C:\\WIN"}, false, "", false},
        RootCase{"SecondQueryFails", true, Value{kRegSz, "C:\\WIN"}, true,
                 "Failed to get data for 'SystemRoot'", true},
        RootCase{"Dword", true, Value{kRegDword, std::string("\1\0\0\0", 4)}, false, kBadType,
                 true},
        RootCase{"Binary", true, Value{kRegBinary, "C:\\"}, false, kBadType, true},
        RootCase{"MultiSz", true, Value{kRegMultiSz, std::string("C:\\\0\0", 5)}, false, kBadType,
                 true},
        RootCase{"None", true, Value{kRegNone, "x"}, false, kBadType, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct HiveCase {
  const char* name;
  std::string valueLines;
  const char* expected;
  bool fails;
};

class WineHiveSystemRoot : public ::testing::TestWithParam<HiveCase> {};

TEST_P(WineHiveSystemRoot, ReachesTheRunInTheAnsiCodePage) {
  const testing::TempFolder folder;
  testing::WriteFile(folder.Path() / "system.reg", testing::HiveWithValues(GetParam().valueLines));
  WineRegistryKey key(folder.Path() / "system.reg");
  if (GetParam().fails) {
    EXPECT_THROW(ReadSystemRoot(key), ERegistryException);
  } else {
    EXPECT_EQ(ReadSystemRoot(key), GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, WineHiveSystemRoot,
    ::testing::Values(HiveCase{"NonAscii", "\"SystemRoot\"=\"C:\\\\Sp\\xe9le\\x20ac\\x4e2d\"\n",
                               "C:\\Sp\xE9le\x80?", false},
                      HiveCase{"SzWithoutNulAsHex", "\"SystemRoot\"=hex(1):43,00,3a,00\n",
                               "C:", false},
                      HiveCase{"EmptySz", "\"SystemRoot\"=\"\"\n", "", false},
                      HiveCase{"Missing", "\"Other\"=\"C:\\\\W\"\n", "", false},
                      HiveCase{"Dword", "\"SystemRoot\"=dword:00000001\n", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WineHiveSystemRoot, IsEmptyWithoutAHive) {
  const testing::TempFolder folder;
  WineRegistryKey key(folder.Path() / "system.reg");
  EXPECT_EQ(ReadSystemRoot(key), "");
}

}  // namespace
}  // namespace setwright
