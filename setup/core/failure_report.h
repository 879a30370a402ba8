// The failures that stop a setup run, their messages, and the report printed for them.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace setwright {

// A failure of the run: a kind, a message and the code position of the failing step.
class SetupFailure : public std::exception {
 public:
  SetupFailure(std::string message, std::uint32_t codePosition)
      : message_(std::move(message)), codePosition_(codePosition) {}

  virtual std::string_view KindName() const = 0;
  const std::string& Message() const { return message_; }
  std::uint32_t CodePosition() const { return codePosition_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
  std::uint32_t codePosition_;
};

// A console or settings file operation ended with a non-zero platform error code.
class EInOutError final : public SetupFailure {
 public:
  EInOutError(std::int32_t errorCode, std::uint32_t codePosition);

  std::string_view KindName() const override { return "EInOutError"; }
};

// The Windows directory could not be taken from the registry.
class ERegistryException final : public SetupFailure {
 public:
  using SetupFailure::SetupFailure;

  std::string_view KindName() const override { return "ERegistryException"; }
};

// The message of an EInOutError with `errorCode`.
std::string InOutErrorMessage(std::int32_t errorCode);

// The I/O check that follows every output operation: a non-zero code stops the run.
void CheckInOut(std::int32_t errorCode, std::uint32_t codePosition);

// The bytes of the report for `failure` in the program file `moduleName`, CR LF included.
std::string FailureReportText(const SetupFailure& failure, std::string_view moduleName);

}  // namespace setwright
