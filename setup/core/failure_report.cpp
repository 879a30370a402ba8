#include "setup/core/failure_report.h"

#include <cstdio>

#include "setup/core/error_codes.h"

namespace setwright {

EInOutError::EInOutError(std::int32_t errorCode, std::uint32_t codePosition)
    : SetupFailure(InOutErrorMessage(errorCode), codePosition) {}

std::string InOutErrorMessage(std::int32_t errorCode) {
  switch (errorCode) {
    case kErrorFileNotFound:
      return "File not found";
    case kErrorPathNotFound:
      return "Invalid filename";
    case kErrorTooManyOpenFiles:
      return "Too many open files";
    case kErrorAccessDenied:
      return "File access denied";
    case kErrorReadBeyondEnd:
      return "Read beyond end of file";
    case kErrorShortWrite:
      return "Disk full";
    case kErrorInvalidNumericInput:
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
