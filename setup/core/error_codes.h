// Platform error codes, numbered as Windows numbers them on every platform, so that both builds
// report the same failure with the same code.
#pragma once

#include <cstdint>

namespace setwright {

inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorPathNotFound = 3;
inline constexpr std::int32_t kErrorTooManyOpenFiles = 4;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidDrive = 15;
inline constexpr std::int32_t kErrorWriteProtect = 19;
inline constexpr std::int32_t kErrorGeneralFailure = 31;
inline constexpr std::int32_t kErrorInvalidParameter = 87;
inline constexpr std::int32_t kErrorFileExists = 80;
inline constexpr std::int32_t kErrorBrokenPipe = 109;
inline constexpr std::int32_t kErrorDiskFull = 112;
inline constexpr std::int32_t kErrorInvalidName = 123;
inline constexpr std::int32_t kErrorBusy = 170;
inline constexpr std::int32_t kErrorAlreadyExists = 183;
inline constexpr std::int32_t kErrorFilenameTooLong = 206;
inline constexpr std::int32_t kErrorNoSuchDevice = 433;
inline constexpr std::int32_t kErrorIoDevice = 1117;
inline constexpr std::int32_t kErrorCantResolveFilename = 1921;

// The classic runtime's own codes, which its message table names beside the platform's.
inline constexpr std::int32_t kErrorReadBeyondEnd = 100;
// A write that stored fewer bytes than it was given.
inline constexpr std::int32_t kErrorShortWrite = 101;
inline constexpr std::int32_t kErrorInvalidNumericInput = 106;

}  // namespace setwright
