#include "lister/cli/failure_cause.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "archive/archive_format.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace lister::cli {

namespace {

constexpr std::string_view kNotRegularText = "not a regular file";

#ifdef _WIN32
using FileStatus = struct _stat64;
int StatPath(const std::string& path, FileStatus& info) {
  return _stat64(path.c_str(), &info);
}
bool IsFolder(const FileStatus& info) {
  return (info.st_mode & _S_IFDIR) != 0;
}
bool IsRegular(const FileStatus& info) {
  return (info.st_mode & _S_IFREG) != 0;
}
int OpenForReading(const std::string& path) {
  return _open(path.c_str(), _O_RDONLY | _O_BINARY);
}
int ReadSome(int handle, void* buffer, unsigned size) {
  return _read(handle, buffer, size);
}
void CloseFile(int handle) {
  _close(handle);
}  // read only: nothing to lose at the close
#else
using FileStatus = struct stat;
int StatPath(const std::string& path, FileStatus& info) {
  return ::stat(path.c_str(), &info);
}
bool IsFolder(const FileStatus& info) {
  return S_ISDIR(info.st_mode);
}
bool IsRegular(const FileStatus& info) {
  return S_ISREG(info.st_mode);
}
int OpenForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
long ReadSome(int handle, void* buffer, unsigned size) {
  return ::read(handle, buffer, size);
}
void CloseFile(int handle) {
  ::close(handle);
}  // read only: nothing to lose at the close
#endif

// The cause behind errno `error` of a failed stat or open.
FailureCause CauseOf(int error) {
  switch (error) {
    case ENOENT:
      return {FailureKind::kNotFound, ""};  // "This file does not exist." says it all
    case ENOTDIR:
      return {FailureKind::kNotFound, std::strerror(error)};
    case EACCES:
    case EPERM:
      return {FailureKind::kPermission, std::strerror(error)};
    default:
      return {FailureKind::kIo, std::strerror(error)};
  }
}

}  // namespace

std::string_view KindName(FailureKind kind) {
  static constexpr std::array<std::string_view, 6> kNames = {
      "not_found", "not_regular", "permission", "not_archive", "changed", "io"};
  return kNames[static_cast<std::size_t>(kind)];
}

std::optional<FailureCause> RefusedBeforeOpening(const std::string& path) {
  FileStatus info{};
  if (path.empty() || StatPath(path, info) != 0 || IsFolder(info) || IsRegular(info)) {
    return std::nullopt;  // the listing itself tells these apart
  }
  return FailureCause{FailureKind::kNotRegular, std::string(kNotRegularText)};
}

FailureCause DiagnoseFailure(const std::string& path) {
  FileStatus info{};
  if (path.empty()) {
    return {FailureKind::kNotFound, ""};
  }
  if (StatPath(path, info) != 0) {
    return CauseOf(errno);
  }
  if (IsFolder(info)) {
    return {FailureKind::kNotRegular, std::strerror(EISDIR)};
  }
  if (!IsRegular(info)) {
    return {FailureKind::kNotRegular, std::string(kNotRegularText)};
  }
  const int handle = OpenForReading(path);
  if (handle < 0) {
    return CauseOf(errno);
  }
  std::array<char, archive::kHeaderSize> header{};
  const auto got = ReadSome(handle, header.data(), static_cast<unsigned>(header.size()));
  const int readError = errno;
  CloseFile(handle);
  if (got < 0) {
    return {FailureKind::kIo, std::strerror(readError)};
  }
  return {FailureKind::kNotArchive, ""};
}

}  // namespace lister::cli
