// Arbitrary DOS paths mapped to Unix paths in a prefix of our own, and arbitrary Unix paths
// mapped back: every outcome is a path or an error code, never a crash.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "setup/wine/dos_path.h"
#include "setup/wine/wine_paths.h"

namespace {

// A prefix with drive c: (holding GAMES\Gorblunk and a file) and drive d: on a second folder.
std::filesystem::path MakePrefix() {
  char pattern[] = "/tmp/wine-paths-fuzz-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    std::abort();  // without the prefix every input would test the same failure
  }
  const std::filesystem::path prefix = pattern;
  std::filesystem::create_directories(prefix / "drive_c" / "GAMES" / "Gorblunk");
  std::filesystem::create_directories(prefix / "d-drive" / "Data");
  std::filesystem::create_directories(prefix / "dosdevices");
  std::filesystem::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
  std::filesystem::create_symlink(prefix / "d-drive", prefix / "dosdevices" / "d:");
  std::filesystem::create_symlink(prefix / "drive_c" / "GAMES", prefix / "dosdevices" / "g:");
  return prefix;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path prefix = MakePrefix();
  static const setwright::WineDrives drives(prefix);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const setwright::DosPath resolved = setwright::ResolveDosPath(text, "C:\\GAMES\\Gorblunk");
  if (resolved.errorCode == 0 && !((resolved.drive >= 'A' && resolved.drive <= 'Z') ||
                                   (resolved.drive >= 'a' && resolved.drive <= 'z'))) {
    std::abort();
  }
  const setwright::UnixPath unixPath = setwright::UnixPathFromDos(drives, text, "C:\\GAMES");
  if (unixPath.errorCode == 0 && unixPath.path.empty()) {
    std::abort();
  }
  // Half the inputs also serve as a current directory, or as a Unix path to map back.
  if (size % 2 == 0) {
    setwright::UnixPathFromDos(drives, "Gorblunk.Ini", text);
  } else {
    drives.DosPathFromUnix((prefix / "drive_c").string() + "/" + std::string(text));
  }
  return 0;
}
