// Unix paths and DOS paths of one Wine prefix, related through its dosdevices drive links the way
// Wine relates them.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace setwright {

// The prefix that Wine uses: $WINEPREFIX, else .wine in the home directory.
std::filesystem::path WinePrefixFromEnvironment();

// Whether `prefix` is a Wine prefix that can be used: an absolute folder with dosdevices/ and a
// system.reg whose first line is Wine's hive signature.
bool IsWinePrefix(const std::filesystem::path& prefix);

// Why `prefix` cannot be used, as one line for standard error without its end: a system.reg that
// cannot be read, named with the cause, or no Wine prefix at all. Empty when it can be used.
std::string WinePrefixProblem(const std::filesystem::path& prefix);

class WineDrives {
 public:
  // The drives that `prefix`/dosdevices links to.
  explicit WineDrives(const std::filesystem::path& prefix);

  // The folder of drive `letter` (either case) as the drive link gives it; empty for no drive.
  const std::filesystem::path& Root(char letter) const;

  // The drive-qualified DOS path of the absolute Unix path `unixPath`, or nothing when it lies on
  // no drive. The deepest ancestor that is a drive's folder wins, the lowest letter on ties.
  std::optional<std::string> DosPathFromUnix(const std::string& unixPath) const;

 private:
  struct Drive {
    std::filesystem::path root;
    bool present = false;
    dev_t device = 0;
    ino_t inode = 0;
  };
  std::array<Drive, 26> drives_;
};

struct UnixPath {
  std::int32_t errorCode = 0;  // non-zero when the path cannot be mapped
  std::string path;
};

// The Unix path of DOS path `dosPath`, resolved against `currentDirectory` (both in the ANSI code
// page). Names that exist are matched ignoring case; the rest keep their spelling. A missing drive
// gives 2 for a name in its root and 3 deeper down, as Wine gives them.
UnixPath UnixPathFromDos(const WineDrives& drives, std::string_view dosPath,
                         std::string_view currentDirectory);

}  // namespace setwright
