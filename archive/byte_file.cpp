#include "archive/byte_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#include <winternl.h>
#else
#include <unistd.h>
#endif

namespace archive {

namespace {
#ifdef _WIN32
constexpr int kOpenFlags = _O_RDONLY | _O_BINARY;
#else
constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
#endif
}  // namespace

bool ByteFile::Open(const std::string& path) {
  Close();
  identity_.reset();
  if (path.empty()) {
    return false;
  }
  FileIdentity identity;
#ifdef _WIN32
  handle_ = _open(path.c_str(), kOpenFlags);
  if (handle_ < 0) {
    return false;
  }
  // Three queries of the handle that Wine too answers from the open file alone, without a
  // request to its server: the file index, the last write time, the size. A handle that tells
  // nothing (not a disk file) keeps the all-zero identity.
  const auto osHandle = reinterpret_cast<HANDLE>(_get_osfhandle(handle_));
  const auto query = [osHandle](auto& info, FILE_INFORMATION_CLASS what) {
    IO_STATUS_BLOCK status{};
    return NT_SUCCESS(NtQueryInformationFile(osHandle, &status, &info, sizeof info, what));
  };
  FILE_INTERNAL_INFORMATION index{};
  FILE_BASIC_INFORMATION times{};
  FILE_STANDARD_INFORMATION sizes{};
  if (osHandle != INVALID_HANDLE_VALUE && query(index, FileInternalInformation) &&
      query(times, FileBasicInformation) && query(sizes, FileStandardInformation)) {
    identity = {0, static_cast<std::uint64_t>(index.IndexNumber.QuadPart),
                static_cast<std::int64_t>(sizes.EndOfFile.QuadPart),
                static_cast<std::int64_t>(times.LastWriteTime.QuadPart)};
  }
#else
  handle_ = ::open(path.c_str(), kOpenFlags);
  if (handle_ < 0) {
    return false;
  }
  // The one fstat of an open; one that fails keeps the all-zero identity and reads as no size.
  struct stat info {};
  regular_ = ::fstat(handle_, &info) == 0;
  if (regular_) {
    identity = {
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
    regular_ = S_ISREG(info.st_mode);
  }
#endif
  identity_ = identity;
  return true;
}

std::int64_t ByteFile::Size() const {
  if (handle_ < 0) {
    return 0;
  }
#ifdef _WIN32
  struct _stat64 info {};
  const bool regular = _fstat64(handle_, &info) == 0 && (info.st_mode & _S_IFREG) != 0;
  return regular ? static_cast<std::int64_t>(info.st_size) : 0;
#else
  return regular_ ? identity_->size : 0;
#endif
}

void ByteFile::Close() {
  if (handle_ >= 0) {
    // Nothing was written through a read-only handle, so its close has nothing to lose.
#ifdef _WIN32
    _close(handle_);
#else
    ::close(handle_);
#endif
  }
  handle_ = -1;
}

std::size_t ByteFile::ReadAt(std::int64_t position, void* buffer, std::size_t count) {
  if (handle_ < 0 || position < 0) {
    return 0;
  }
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
#ifdef _WIN32
  if (_lseeki64(handle_, position, SEEK_SET) < 0) {
    return 0;
  }
  // A failed read ends the loop: callers judge a read by the bytes it gave.
  while (done < count) {
    const int got = _read(handle_, out + done, static_cast<unsigned>(count - done));
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
#else
  // A failed read ends the loop: callers judge a read by the bytes it gave.
  while (done < count) {
    const ssize_t got =
        ::pread(handle_, out + done, count - done, static_cast<off_t>(position + done));
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
#endif
  return done;
}

bool IsExistingFile(const std::string& path) {
  if (path.empty()) {
    return false;
  }
#ifdef _WIN32
  struct _stat64 info {};
  return _stat64(path.c_str(), &info) == 0 && (info.st_mode & _S_IFDIR) == 0;
#else
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
#endif
}

}  // namespace archive
