#include "platform_wine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
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
  const int probe = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (probe >= 0) {
    ::close(probe);
    return 0;
  }
  return errno == ENOENT ? 0 : WindowsErrorFromErrno(errno);
}

std::int32_t UnixFileOperations::CreateNew(const std::string& path, const std::string& model) {
  file_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                 kNewFileMode);
  if (file_ < 0) {
    return WindowsErrorFromErrno(errno);
  }
  struct stat earlier {};
  if (::stat(model.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode)) {
    // The owner first: changing it clears the set-user-ID bits that the mode then restores. Only
    // a privileged process may give the file away; otherwise it stays the runner's.
    [[maybe_unused]] const int owned = ::fchown(file_, earlier.st_uid, earlier.st_gid);
    ::fchmod(file_, earlier.st_mode & 07777);
  }
  return 0;
}

std::int32_t UnixFileOperations::Create(const std::string& path) {
  file_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, kNewFileMode);
  return file_ < 0 ? WindowsErrorFromErrno(errno) : 0;
}

std::int32_t UnixFileOperations::Write(const char* data, std::size_t size) {
  return WriteAll(file_, data, size);
}

std::int32_t UnixFileOperations::Sync() {
  return ::fsync(file_) != 0 ? WindowsErrorFromErrno(errno) : 0;
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
  return ::rename(from.c_str(), to.c_str()) != 0 ? WindowsErrorFromErrno(errno) : 0;
}

void UnixFileOperations::Remove(const std::string& path) {
  ::unlink(path.c_str());
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

void WinePlatform::FinishStandardOutput() {
  consoleOutput_.Flush();
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
