// What the setup run needs from the system it runs on. Error codes are Windows codes on every
// platform, 0 for success.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace setwright {

class SetupPlatform {
 public:
  virtual ~SetupPlatform() = default;

  virtual std::int32_t WriteStandardOutput(std::string_view bytes) = 0;

  // The game directory: the process's current directory as an absolute, drive-qualified path,
  // without a trailing backslash except at a drive's root. Fails only when that path is longer
  // than 259 characters or the directory cannot be had at all.
  virtual std::int32_t ReadCurrentDirectory(std::string& directory) = 0;

  // The Windows directory, possibly empty; may throw ERegistryException.
  virtual std::string ReadSystemRoot() = 0;

  // The settings file at `path` is replaced whole, and only once CloseSettingsFile succeeds:
  // until then the bytes go to a new file beside it, and an earlier settings file stays
  // untouched. Creation fails, with the code that replacing the file would meet, when the
  // settings file could not be replaced.
  virtual std::int32_t CreateSettingsFile(const std::string& path) = 0;
  virtual std::int32_t WriteSettingsFile(std::string_view bytes) = 0;
  // Writes out what is buffered, closes the new file and puts it in the settings file's place.
  virtual std::int32_t CloseSettingsFile() = 0;
  // After a failure: closes and removes the new file, if any. Never fails.
  virtual void DiscardSettingsFile() = 0;
};

}  // namespace setwright
