#include "failure_report.h"

#include <cstdio>

namespace setwright {

EInOutError::EInOutError(std::int32_t errorCode, std::uint32_t codePosition)
    : SetupFailure(InOutErrorMessage(errorCode), codePosition), errorCode_(errorCode) {}

std::string InOutErrorMessage(std::int32_t errorCode) {
  switch (errorCode) {
    case 2:
      return "File not found";
    case 3:
      return "Invalid filename";
    case 4:
      return "Too many open files";
    case 5:
      return "File access denied";
    case 100:
      return "Read beyond end of file";
    case 101:
      return "Disk full";
    case 106:
      return "Invalid numeric input";
    default:
      return "I/O error " + std::to_string(errorCode);
  }
}

void CheckInOut(std::int32_t errorCode, std::uint32_t codePosition) {
  if (errorCode != 0) {
    throw EInOutError(errorCode, codePosition);
  }
}

std::string FailureReportText(const SetupFailure& failure, std::string_view moduleName) {
  char position[9];
  std::snprintf(position, sizeof position, "%08X", static_cast<unsigned>(failure.CodePosition()));
  std::string text = "Exception ";
  text.append(failure.KindName());
  text.append(" in module ");
  text.append(moduleName);
  text.append(" at ");
  text.append(position);
  // The format's own line break is a bare LF; only the report as a whole ends with CR LF.
  text.append(".\n");
  const std::string& message = failure.Message();
  text.append(message);
  if (!message.empty() && message.back() != '.') {
    text.push_back('.');
  }
  text.append("\r\n");
  return text;
}

}  // namespace setwright
