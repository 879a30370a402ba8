// The setup platform on Linux, for a game run under Wine: the Windows side of the system is the
// Wine prefix, its registry hive and its drive links. Not part of the Windows build.
#pragma once

#ifdef _WIN32
#error "platform_wine.h is the Linux platform layer; the Windows build uses platform_windows.h"
#endif

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "block_output.h"
#include "setup_platform.h"
#include "wine_paths.h"

namespace setwright {

class WinePlatform final : public SetupPlatform {
 public:
  explicit WinePlatform(std::filesystem::path prefix);
  ~WinePlatform() override;
  WinePlatform(const WinePlatform&) = delete;
  WinePlatform& operator=(const WinePlatform&) = delete;

  std::int32_t WriteStandardOutput(std::string_view bytes) override;
  std::int32_t ReadCurrentDirectory(std::string& directory) override;
  std::string ReadSystemRoot() override;
  std::int32_t CreateSettingsFile(const std::string& path) override;
  std::int32_t WriteSettingsFile(std::string_view bytes) override;
  std::int32_t CloseSettingsFile() override;
  void DiscardSettingsFile() override;

  // Writes out what standard output still buffers; called once, as the program ends.
  void FinishStandardOutput();

 private:
  std::filesystem::path prefix_;
  WineDrives drives_;
  BlockOutput console_;
  int file_ = -1;
  BlockOutput fileOutput_;
  std::string newFile_;     // Unix path of the file being written, empty when there is none
  std::string targetFile_;  // Unix path of the settings file it replaces
};

// The file name of the running program, without its folder.
std::string ProgramFileName(const char* argv0);

}  // namespace setwright
