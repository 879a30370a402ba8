// The setup platform on Linux, for a game run under Wine: the Windows side of the system is the
// Wine prefix, its registry hive and its drive links. Not part of the Windows build.
#pragma once

#ifdef _WIN32
#error "platform_wine.h is the Linux platform layer; the Windows build uses platform_windows.h"
#endif

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "block_output.h"
#include "setup_platform.h"
#include "wine_paths.h"

namespace setwright {

// The Unix calls that write the settings file and put it in its place: the C library's own unless
// a test gives calls that fail, to reach a full disk or a failing rename.
struct SettingsFileCalls {
  std::function<ssize_t(int, const void*, std::size_t)> write = ::write;
  std::function<int(int)> fsync = ::fsync;
  std::function<int(int)> close = ::close;
  std::function<int(const char*, const char*)> rename = ::rename;
};

class WinePlatform final : public SetupPlatform {
 public:
  explicit WinePlatform(std::filesystem::path prefix, SettingsFileCalls calls = {});
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
  SettingsFileCalls calls_;
  BlockOutput console_;
  int file_ = -1;
  BlockOutput fileOutput_;
  std::string newFile_;     // Unix path of the file being written, empty when there is none
  std::string targetFile_;  // Unix path of the settings file it replaces
};

// The file name of the running program, without its folder.
std::string ProgramFileName(const char* argv0);

}  // namespace setwright
