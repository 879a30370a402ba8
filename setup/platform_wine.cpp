#include "platform_wine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <vector>

#include "error_codes.h"
#include "settings_file.h"
#include "system_root.h"
#include "unix_error.h"
#include "wine_registry_key.h"

namespace setwright {

namespace {

constexpr std::size_t kMaxDirectoryLength = 259;
// Where Wine starts a program whose Unix directory lies on no drive.
constexpr std::string_view kWindowsDirectoryFallback = "C:\\windows";
constexpr mode_t kNewFileMode = 0666;

template <typename Write>
std::int32_t WriteAll(const Write& write, int descriptor, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(descriptor, data, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return WindowsErrorFromErrno(errno);
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

bool IsCharacterDevice(int descriptor) {
  struct stat info {};
  return ::fstat(descriptor, &info) == 0 && S_ISCHR(info.st_mode);
}

std::optional<std::string> UnixCurrentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) {
      return std::nullopt;
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

// The game directory, or the error that keeps it from being read.
std::int32_t DosCurrentDirectory(const WineDrives& drives, std::string& directory) {
  const std::optional<std::string> unixDirectory = UnixCurrentDirectory();
  if (!unixDirectory) {
    return WindowsErrorFromErrno(errno);
  }
  directory =
      drives.DosPathFromUnix(*unixDirectory).value_or(std::string(kWindowsDirectoryFallback));
  return directory.size() > kMaxDirectoryLength ? kErrorFilenameTooLong : 0;
}

}  // namespace

WinePlatform::WinePlatform(std::filesystem::path prefix, SettingsFileCalls calls)
    : prefix_(std::move(prefix)),
      drives_(prefix_),
      calls_(std::move(calls)),
      console_([](const char* data,
                  std::size_t size) { return WriteAll(::write, STDOUT_FILENO, data, size); },
               IsCharacterDevice(STDOUT_FILENO) ? BlockOutput::Mode::kAtEachCall
                                                : BlockOutput::Mode::kWhenFull),
      fileOutput_([this](const char* data,
                         std::size_t size) { return WriteAll(calls_.write, file_, data, size); },
                  BlockOutput::Mode::kWhenFull) {}

WinePlatform::~WinePlatform() {
  DiscardSettingsFile();
}

std::int32_t WinePlatform::WriteStandardOutput(std::string_view bytes) {
  return console_.Write(bytes);
}

void WinePlatform::FinishStandardOutput() {
  console_.Flush();
}

std::int32_t WinePlatform::ReadCurrentDirectory(std::string& directory) {
  return DosCurrentDirectory(drives_, directory);
}

std::string WinePlatform::ReadSystemRoot() {
  WineRegistryKey key(prefix_ / "system.reg");
  return setwright::ReadSystemRoot(key);
}

std::int32_t WinePlatform::CreateSettingsFile(const std::string& path) {
  std::string currentDirectory;
  if (const std::int32_t code = DosCurrentDirectory(drives_, currentDirectory); code != 0) {
    return code;
  }
  const UnixPath target = UnixPathFromDos(drives_, path, currentDirectory);
  if (target.errorCode != 0) {
    return target.errorCode;
  }
  const UnixPath replacement =
      UnixPathFromDos(drives_, ReplacementFilePath(path), currentDirectory);
  if (replacement.errorCode != 0) {
    return replacement.errorCode;
  }
  // Fail now, as replacing the settings file in place would, when it cannot be written.
  const int probe = ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (probe >= 0) {
    ::close(probe);
  } else if (errno != ENOENT) {
    return WindowsErrorFromErrno(errno);
  }
  file_ = ::open(replacement.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC,
                 kNewFileMode);
  if (file_ < 0) {
    return WindowsErrorFromErrno(errno);
  }
  newFile_ = replacement.path;
  targetFile_ = target.path;
  return 0;
}

std::int32_t WinePlatform::WriteSettingsFile(std::string_view bytes) {
  return fileOutput_.Write(bytes);
}

std::int32_t WinePlatform::CloseSettingsFile() {
  if (const std::int32_t code = fileOutput_.Flush(); code != 0) {
    return code;
  }
  // The data reaches the disk before the name does, so that a crash never leaves an empty file.
  if (calls_.fsync(file_) != 0) {
    return WindowsErrorFromErrno(errno);
  }
  const int closed = calls_.close(file_);
  file_ = -1;
  if (closed != 0) {
    return WindowsErrorFromErrno(errno);
  }
  if (calls_.rename(newFile_.c_str(), targetFile_.c_str()) != 0) {
    return WindowsErrorFromErrno(errno);
  }
  newFile_.clear();
  return 0;
}

void WinePlatform::DiscardSettingsFile() {
  fileOutput_.Discard();
  if (file_ >= 0) {
    ::close(file_);
    file_ = -1;
  }
  if (!newFile_.empty()) {
    ::unlink(newFile_.c_str());
    newFile_.clear();
  }
}

std::string ProgramFileName(const char* argv0) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && !self.filename().empty()) {
    return self.filename().string();
  }
  return std::filesystem::path(argv0 != nullptr ? argv0 : "Setwright").filename().string();
}

}  // namespace setwright
