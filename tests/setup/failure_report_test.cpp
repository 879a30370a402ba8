#include "failure_report.h"

#include <gtest/gtest.h>

namespace setwright {
namespace {

struct MessageCase {
  std::int32_t code;
  const char* message;
};

class InOutErrorMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(InOutErrorMessages, NameTheCodeOrGiveItInDecimal) {
  EXPECT_EQ(InOutErrorMessage(GetParam().code), GetParam().message);
  EXPECT_EQ(EInOutError(GetParam().code, 0).Message(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InOutErrorMessages,
    ::testing::Values(MessageCase{2, "File not found"}, MessageCase{3, "Invalid filename"},
                      MessageCase{4, "Too many open files"}, MessageCase{5, "File access denied"},
                      MessageCase{100, "Read beyond end of file"}, MessageCase{101, "Disk full"},
                      MessageCase{106, "Invalid numeric input"}, MessageCase{1, "I/O error 1"},
                      MessageCase{112, "I/O error 112"}, MessageCase{123, "I/O error 123"},
                      MessageCase{-7, "I/O error -7"}));

struct ReportCase {
  const char* message;
  std::uint32_t position;
  const char* report;
};

class FailureReports : public ::testing::TestWithParam<ReportCase> {};

TEST_P(FailureReports, AddAFullStopOnlyWhereTheMessageLacksOne) {
  const ERegistryException failure(GetParam().message, GetParam().position);
  EXPECT_EQ(FailureReportText(failure, "Setwright.exe"), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailureReports,
    ::testing::Values(
        ReportCase{"Invalid data type for 'SystemRoot'", 0x00402120,
                   "Exception ERegistryException in module Setwright.exe at 00402120.\n"
                   "Invalid data type for 'SystemRoot'.\r\n"},
        ReportCase{"Ends with a stop.", 0xABCDEF,
                   "Exception ERegistryException in module "
                   "Setwright.exe at 00ABCDEF.\nEnds with a stop.\r\n"},
        ReportCase{"", 0xFFFFFFFF,
                   "Exception ERegistryException in module Setwright.exe at FFFFFFFF.\n\r\n"}));

}  // namespace
}  // namespace setwright
