#include "setup/wine/wine_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

#include "setup/core/error_codes.h"
#include "setup/wine/code_page.h"
#include "setup/wine/dos_path.h"
#include "setup/wine/wine_hive.h"

namespace fs = std::filesystem;

namespace setwright {

namespace {

std::size_t DriveIndex(char letter) {
  return static_cast<std::size_t>(std::tolower(static_cast<unsigned char>(letter)) - 'a');
}

bool IsDriveLetter(char letter) {
  const int lower = std::tolower(static_cast<unsigned char>(letter));
  return lower >= 'a' && lower <= 'z';
}

// The Unix name of the entry in `folder` that `name` (UTF-8) names: the exact spelling when it
// exists, else the first match ignoring case in byte order, else nothing.
std::optional<std::string> FindEntry(const fs::path& folder, const std::string& name) {
  struct stat info {};
  if (const std::string exact = UnixNameFromUtf8(name);
      ::lstat((folder / exact).c_str(), &info) == 0) {
    return exact;
  }
  std::optional<std::string> best;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string candidate = it->path().filename().string();
    if (EqualIgnoringCase(Utf8FromUnixName(candidate), name) && (!best || candidate < *best)) {
      best = std::move(candidate);
    }
  }
  return best;
}

}  // namespace

fs::path WinePrefixFromEnvironment() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
    return prefix;
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* user = ::getpwuid(::getuid());
    home = user != nullptr ? user->pw_dir : "/";
  }
  return fs::path(home) / ".wine";
}

bool IsWinePrefix(const fs::path& prefix) {
  std::error_code error;
  std::ifstream hive(prefix / "system.reg", std::ios::binary);
  std::string firstLine;
  std::getline(hive, firstLine);
  if (firstLine.ends_with('\r')) {
    firstLine.pop_back();
  }
  return prefix.is_absolute() && fs::is_directory(prefix / "dosdevices", error) &&
         firstLine == "WINE REGISTRY Version 2";
}

std::string WinePrefixProblem(const fs::path& prefix) {
  const fs::path hive = prefix / "system.reg";
  std::string text;
  if (const int error = ReadHiveFile(hive, text); error != 0 && error != ENOENT) {
    return "cannot read " + hive.string() + ": " + std::strerror(error);
  }
  if (!IsWinePrefix(prefix)) {
    return "no Wine prefix at " + prefix.string() + " (set WINEPREFIX to the game's prefix)";
  }
  return {};
}

WineDrives::WineDrives(const fs::path& prefix) {
  const fs::path devices = prefix / "dosdevices";
  std::error_code error;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    const fs::path link = devices / std::string{letter, ':'};
    if (fs::is_symlink(fs::symlink_status(link, error))) {
      const fs::path target = fs::read_symlink(link, error);
      if (!error) {  // a link that cannot be read is no drive
        drives_[DriveIndex(letter)].root = target.is_absolute() ? target : devices / target;
      }
    }
  }
  for (Drive& drive : drives_) {
    struct stat info {};
    if (!drive.root.empty() && ::stat(drive.root.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      drive.present = true;
      drive.device = info.st_dev;
      drive.inode = info.st_ino;
    }
  }
}

const fs::path& WineDrives::Root(char letter) const {
  static const fs::path kNone;
  if (!IsDriveLetter(letter)) {
    return kNone;
  }
  const Drive& drive = drives_[DriveIndex(letter)];
  return drive.present ? drive.root : kNone;
}

std::optional<std::string> WineDrives::DosPathFromUnix(const std::string& unixPath) const {
  const fs::path path = fs::path(unixPath).lexically_normal();
  if (!path.is_absolute()) {
    return std::nullopt;
  }
  std::string below;  // the names under the ancestor tried, DOS style
  for (fs::path ancestor = path;; ancestor = ancestor.parent_path()) {
    struct stat info {};
    if (::stat(ancestor.c_str(), &info) == 0) {
      for (std::size_t i = 0; i < drives_.size(); ++i) {
        const Drive& drive = drives_[i];
        if (drive.present && drive.device == info.st_dev && drive.inode == info.st_ino) {
          std::string dos{static_cast<char>('A' + i), ':'};
          return below.empty() ? dos + "\\" : dos + below;
        }
      }
    }
    if (ancestor == ancestor.root_path()) {
      return std::nullopt;
    }
    const std::string name = ancestor.filename().string();
    if (!name.empty()) {
      below = "\\" + AnsiCodePage().AnsiFromUtf8(Utf8FromUnixName(name)) + below;
    }
  }
}

UnixPath UnixPathFromDos(const WineDrives& drives, std::string_view dosPath,
                         std::string_view currentDirectory) {
  // Resolved in UTF-8, where no byte of a double-byte character can pass for a backslash.
  const CodePage& codePage = AnsiCodePage();
  const DosPath resolved =
      ResolveDosPath(codePage.Utf8FromAnsi(dosPath), codePage.Utf8FromAnsi(currentDirectory));
  if (resolved.errorCode != 0) {
    return {resolved.errorCode, {}};
  }
  const fs::path& root = drives.Root(resolved.drive);
  if (root.empty()) {
    return {resolved.names.size() <= 1 ? kErrorFileNotFound : kErrorPathNotFound, {}};
  }
  fs::path path = root;
  bool existing = true;  // below a name that does not exist there is no folder to search
  for (const std::string& name : resolved.names) {
    const std::optional<std::string> entry =
        existing ? FindEntry(path, name) : std::optional<std::string>();
    existing = entry.has_value();
    path /= entry ? *entry : UnixNameFromUtf8(name);
  }
  return {0, path.string()};
}

}  // namespace setwright
