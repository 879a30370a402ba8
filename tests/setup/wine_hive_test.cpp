#include "wine_hive.h"

#include <gtest/gtest.h>

#include "system_root.h"
#include "test_support.h"

namespace setwright {
namespace {

using testing::HiveWithValues;
using testing::Utf16;

constexpr char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

struct FormatCase {
  const char* name;
  std::string valueLines;  // in the form Wine writes them
  std::uint32_t type;
  std::string data;
};

class HiveFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(HiveFormats, GiveTheTypeAndTheBytesTheRegistryHolds) {
  const auto value = FindHiveValue(HiveWithValues(GetParam().valueLines), kKey, "SystemRoot");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, GetParam().type);
  EXPECT_EQ(value->data, GetParam().data);
}

// The lines are those that Wine 8 writes for `wine reg add` of each type.
INSTANTIATE_TEST_SUITE_P(
    Table, HiveFormats,
    ::testing::Values(
        FormatCase{"Sz", "\"SystemRoot\"=\"C:\\\\windows\"\n", kRegSz,
                   Utf16(std::u16string(u"C:\\windows\0", 11))},
        FormatCase{"SzEscapes", "\"SystemRoot\"=\"C:\\\\WIN \\\"q\\\" %X%\"\n", kRegSz,
                   Utf16(std::u16string(u"C:\\WIN \"q\" %X%\0", 15))},
        FormatCase{"SzControlAndHexEscapes",
                   "\"SystemRoot\"=\"C:\\\\Sp\\xe9le\\ttab\\033\\x0041\"\n", kRegSz,
                   Utf16(std::u16string(u"C:\\Sp\u00e9le\ttab\x1b\x41\0", 15))},
        FormatCase{"SzUtf8", "\"SystemRoot\"=\"\xC3\xA9\"\n", kRegSz,
                   Utf16(std::u16string(u"\u00e9\0", 2))},
        FormatCase{"EmptySz", "\"SystemRoot\"=\"\"\n", kRegSz, Utf16(std::u16string(u"\0", 1))},
        FormatCase{"StrColon", "\"SystemRoot\"=str:\"W\"\n", kRegSz,
                   Utf16(std::u16string(u"W\0", 2))},
        FormatCase{"ExpandSz", "\"SystemRoot\"=str(2):\"%SystemRoot%\\\\x\"\n", kRegExpandSz,
                   Utf16(std::u16string(u"%SystemRoot%\\x\0", 15))},
        FormatCase{"MultiSz", "\"SystemRoot\"=str(7):\"ab\\0cd\\0\"\n", kRegMultiSz,
                   Utf16(std::u16string(u"ab\0cd\0\0", 7))},
        FormatCase{"Dword", "\"SystemRoot\"=dword:12345678\n", kRegDword,
                   std::string("\x78\x56\x34\x12", 4)},
        FormatCase{"BinaryWrapped",
                   "\"SystemRoot\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,"
                   "14,15,16,\\\n  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,"
                   "2b,2c,2d,2e,2f\n",
                   kRegBinary,
                   "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13"
                   "\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f\x20\x21\x22\x23\x24\x25\x26"
                   "\x27\x28\x29\x2a\x2b\x2c\x2d\x2e\x2f"},
        FormatCase{"EmptyBinary", "\"SystemRoot\"=hex:\n", kRegBinary, ""},
        FormatCase{"None", "\"SystemRoot\"=hex(0):30,00,31,00,00,00\n", kRegNone,
                   std::string("0\0"
                               "1\0\0\0",
                               6)},
        FormatCase{"Qword", "\"SystemRoot\"=hex(b):05,00,00,00,00,00,00,00\n", 11,
                   std::string("\5\0\0\0\0\0\0\0", 8)},
        FormatCase{"MultiSzAsHex", "\"SystemRoot\"=hex(7):41,00,00,00,00,00\n", kRegMultiSz,
                   std::string("A\0\0\0\0\0", 6)},
        FormatCase{"CrLfLines", "\"SystemRoot\"=\"C:\\\\W\"\r\n", kRegSz,
                   Utf16(std::u16string(u"C:\\W\0", 5))},
        FormatCase{"NameInOtherCase", "\"SYSTEMROOT\"=\"x\"\n", kRegSz,
                   Utf16(std::u16string(u"x\0", 2))},
        FormatCase{"LastOfTwoLines", "\"SystemRoot\"=\"a\"\n\"SystemRoot\"=\"b\"\n", kRegSz,
                   Utf16(std::u16string(u"b\0", 2))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HiveKeys, MatchIgnoringCaseAndOnlyTheWholePath) {
  const std::string hive = HiveWithValues("\"SystemRoot\"=\"C:\\\\W\"\n");
  EXPECT_TRUE(FindHiveValue(hive, "software\\MICROSOFT\\windows\\currentversion", "systemroot"));
  EXPECT_FALSE(FindHiveValue(hive, "Software\\Microsoft\\Windows", "SystemRoot"));
  // The other keys in the hive hold SystemRoot too, with texts that must not be taken.
  const auto nt =
      FindHiveValue(hive, "Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
  ASSERT_TRUE(nt.has_value());
  EXPECT_EQ(nt->data, Utf16(std::u16string(u"C:\\wrong key\0", 13)));
}

TEST(HiveKeys, ReadEscapedKeyNamesAndTheDefaultValue) {
  const std::string hive =
      "WINE REGISTRY Version 2\n"
      "[A\\\\B\\]C\\xe9] 1\n"
      "@=\"default\"\n"
      "\"Name \\\"x\\\"\\\\y\"=\"v\"\n";
  EXPECT_TRUE(FindHiveValue(hive, "A\\B]C\xC3\xA9", ""));
  const auto quoted = FindHiveValue(hive, "A\\B]C\xC3\xA9", "Name \"x\"\\y");
  ASSERT_TRUE(quoted.has_value());
  EXPECT_EQ(quoted->data, Utf16(std::u16string(u"v\0", 2)));
}

struct BrokenCase {
  const char* name;
  std::string hive;
};

class HiveWithoutTheValue : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(HiveWithoutTheValue, GivesNothing) {
  EXPECT_FALSE(FindHiveValue(GetParam().hive, kKey, "SystemRoot").has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Table, HiveWithoutTheValue,
    ::testing::Values(BrokenCase{"NoSignature",
                                 "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion]\n"
                                 "\"SystemRoot\"=\"C:\\\\W\"\n"},
                      BrokenCase{"ValueMissing", HiveWithValues("\"SystemRoot2\"=\"C:\\\\W\"\n")},
                      BrokenCase{"UnclosedString", HiveWithValues("\"SystemRoot\"=\"C:\\\\W\n")},
                      BrokenCase{"UnknownForm", HiveWithValues("\"SystemRoot\"=str(1):\"C:\"\n")},
                      BrokenCase{"BadHex", HiveWithValues("\"SystemRoot\"=hex:4g,00\n")},
                      BrokenCase{"EmptyDword", HiveWithValues("\"SystemRoot\"=dword:\n")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace setwright
