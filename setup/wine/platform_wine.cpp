#include "setup/wine/platform_wine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <vector>

#include "setup/core/error_codes.h"
#include "setup/core/settings_file.h"
#include "setup/core/system_root.h"
#include "setup/wine/unix_error.h"
#include "setup/wine/wine_registry_key.h"

namespace setwright {

namespace {

constexpr std::size_t kMaxDirectoryLength = 259;
constexpr mode_t kNewFileMode = 0666;

std::int32_t WriteAll(int descriptor, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, data, size);
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

bool SameFile(const char* a, const char* b) {
  struct stat infoA {};
  struct stat infoB {};
  return ::stat(a, &infoA) == 0 && ::stat(b, &infoB) == 0 && infoA.st_dev == infoB.st_dev &&
         infoA.st_ino == infoB.st_ino;
}

// The current directory as Wine takes it: $PWD when it names the same directory as ".", so that
// symlinks on the way are kept, else the physical path.
std::optional<std::string> UnixCurrentDirectory() {
  if (const char* logical = std::getenv("PWD");
      logical != nullptr && logical[0] == '/' && SameFile(logical, ".")) {
    return std::string(logical);
  }
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
  const std::optional<std::string> dos = drives.DosPathFromUnix(*unixDirectory);
  // Wine would start in C:\windows here; a game directory made up like that would send the game
  // to the wrong place, so the run stops with the code for a directory that no drive reaches.
  if (!dos) {
    return kErrorInvalidDrive;
  }
  directory = *dos;
  return directory.size() > kMaxDirectoryLength ? kErrorFilenameTooLong : 0;
}

// `path`, with a symlink in its last name followed to the file it names, as often as it takes.
std::string FollowLinks(std::string path) {
  constexpr int kMaxLinks = 40;  // the kernel's own limit for one path
  std::error_code error;
  for (int i = 0; i < kMaxLinks && std::filesystem::is_symlink(path, error); ++i) {
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) {
      break;  // a link that cannot be read is left to the checks that follow, which fail on it
    }
    path = target.is_absolute() ? target.string()
                                : (std::filesystem::path(path).parent_path() / target).string();
  }
  return path;
}

}  // namespace

UnixFileOperations::~UnixFileOperations() {
  Close();
}

std::int32_t UnixFileOperations::CheckWritable(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return errno == ENOENT ? 0 : WindowsErrorFromErrno(errno);  // a link loop among them
  }
  if (S_ISDIR(info.st_mode)) {
    return kErrorAccessDenied;
  }
  if (S_ISSOCK(info.st_mode)) {
    return kErrorNoSuchDevice;
  }
  if (!S_ISREG(info.st_mode)) {
    return 0;  // a FIFO or a device, never opened here: the replacement refuses it, see Rename
  }
  // Wine takes a file without any write bit for a read-only file, also when root runs it.
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    return kErrorAccessDenied;
  }
  const int probe = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) {
    return WindowsErrorFromErrno(errno);
  }
  ::close(probe);  // opened for the check only, nothing written
  return 0;
}

std::int32_t UnixFileOperations::CreateNew(const std::string& path, const std::string& model) {
  unnamed_.clear();
  struct stat existing {};
  if (::lstat(path.c_str(), &existing) == 0) {
    return kErrorFileExists;
  }
  const std::string folder = std::filesystem::path(path).parent_path().string();
  file_ =
      ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
  // EISDIR: a kernel without unnamed files; EOPNOTSUPP, EINVAL: a file system without them.
  if (file_ < 0 && (errno == EISDIR || errno == EOPNOTSUPP || errno == EINVAL)) {
    file_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                   kNewFileMode);
  } else if (file_ >= 0) {
    unnamed_ = path;
  }
  if (file_ < 0) {
    return WindowsErrorFromErrno(errno);
  }
  struct stat earlier {};
  if (::stat(model.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode)) {
    // The owner first: changing it clears the set-user-ID bits that the mode then restores. Only
    // a privileged process may give the file away; otherwise it stays the runner's, and its mode
    // is then the runner's choice as well: both are kept where they can be, not required.
    [[maybe_unused]] const int owned = ::fchown(file_, earlier.st_uid, earlier.st_gid);
    [[maybe_unused]] const int moded = ::fchmod(file_, earlier.st_mode & 07777);
  }
  return 0;
}

std::int32_t UnixFileOperations::Create(const std::string& path) {
  file_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, kNewFileMode);
  return file_ < 0 ? WindowsErrorFromErrno(errno) : 0;
}

std::int32_t UnixFileOperations::Read(const std::string& path, std::string& bytes) {
  const int file = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) {
    return errno == ENOENT ? kErrorFileNotFound : WindowsErrorFromErrno(errno);
  }
  struct stat info {};
  std::int32_t code = ::fstat(file, &info) != 0 ? WindowsErrorFromErrno(errno)
                      : !S_ISREG(info.st_mode)  ? kErrorInvalidParameter
                                                : 0;
  bytes.clear();
  char buffer[4096];
  for (ssize_t got = 1; code == 0 && got != 0;) {
    got = ::read(file, buffer, sizeof buffer);
    if (got > 0) {
      bytes.append(buffer, static_cast<std::size_t>(got));
    } else if (got < 0 && errno != EINTR) {
      code = WindowsErrorFromErrno(errno);
    }
  }
  ::close(file);  // read only: closing it can lose nothing
  return code;
}

std::int32_t UnixFileOperations::Write(const char* data, std::size_t size) {
  return WriteAll(file_, data, size);
}

std::int32_t UnixFileOperations::Sync() {
  return ::fsync(file_) != 0 ? WindowsErrorFromErrno(errno) : 0;
}

std::int32_t UnixFileOperations::Link() {
  if (unnamed_.empty()) {
    return 0;
  }
  // Through /proc, which any user may; AT_EMPTY_PATH needs a privilege.
  const std::string self = "/proc/self/fd/" + std::to_string(file_);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, unnamed_.c_str(), AT_SYMLINK_FOLLOW) != 0 &&
      (errno != ENOENT || ::linkat(file_, "", AT_FDCWD, unnamed_.c_str(), AT_EMPTY_PATH) != 0)) {
    return WindowsErrorFromErrno(errno);
  }
  unnamed_.clear();
  return 0;
}

std::int32_t UnixFileOperations::Close() {
  if (file_ < 0) {
    return 0;
  }
  const int closed = ::close(file_);
  file_ = -1;
  return closed != 0 ? WindowsErrorFromErrno(errno) : 0;
}

std::int32_t UnixFileOperations::Rename(const std::string& from, const std::string& to) {
  // What Setwright.exe meets under Wine when the file to replace is a FIFO or a device: no rename
  // puts a regular file in the place of a device node.
  struct stat info {};
  if (::stat(to.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    return kErrorInvalidParameter;
  }
  return ::rename(from.c_str(), to.c_str()) != 0 ? WindowsErrorFromErrno(errno) : 0;
}

void UnixFileOperations::Remove(const std::string& path) {
  if (path == unnamed_) {
    unnamed_.clear();  // never named: it was gone with its close
    return;
  }
  // After a failure, which is the one reported; a file left behind is all that a failed removal
  // can cause.
  [[maybe_unused]] const int removed = ::unlink(path.c_str());
}

BlockOutput::Mode ConsoleMode(int descriptor) {
  struct stat info {};
  const bool characterDevice = ::fstat(descriptor, &info) == 0 && S_ISCHR(info.st_mode);
  return characterDevice ? BlockOutput::Mode::kAtEachCall : BlockOutput::Mode::kWhenFull;
}

WinePlatform::WinePlatform(std::filesystem::path prefix, FileOperations& files, int console)
    : prefix_(std::move(prefix)),
      drives_(prefix_),
      console_(console),
      consoleOutput_(
          [this](const char* data, std::size_t size) { return WriteAll(console_, data, size); },
          ConsoleMode(console)),
      settingsFile_(files) {}

std::int32_t WinePlatform::WriteStandardOutput(std::string_view bytes) {
  return consoleOutput_.Write(bytes);
}

std::int32_t WinePlatform::FinishStandardOutput() {
  return consoleOutput_.Flush();
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
  // A settings file that is a symlink stays one: the file it names is replaced.
  const std::string settingsFile = FollowLinks(target.path);
  const auto firstName = static_cast<std::uint32_t>(::getpid()) * 2654435761u ^
                         static_cast<std::uint32_t>(::time(nullptr));
  return settingsFile_.Create(settingsFile, firstName);
}

std::int32_t WinePlatform::WriteSettingsFile(std::string_view bytes) {
  return settingsFile_.Write(bytes);
}

std::int32_t WinePlatform::CloseSettingsFile() {
  return settingsFile_.Close();
}

void WinePlatform::DiscardSettingsFile() {
  settingsFile_.Discard();
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
