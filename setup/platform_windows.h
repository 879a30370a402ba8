// The setup platform on Windows: the registry, the current directory, the settings file and the
// console through the Win32 ANSI calls. Not part of the Linux build.
#pragma once

#ifndef _WIN32
#error "platform_windows.h is the Windows platform layer; the Linux build uses platform_wine.h"
#endif

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "block_output.h"
#include "setup_platform.h"

namespace setwright {

class WindowsPlatform final : public SetupPlatform {
 public:
  WindowsPlatform();
  ~WindowsPlatform() override;
  WindowsPlatform(const WindowsPlatform&) = delete;
  WindowsPlatform& operator=(const WindowsPlatform&) = delete;

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
  HANDLE output_;
  BlockOutput console_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  BlockOutput fileOutput_;
  std::string newFile_;  // empty when there is none
  std::string targetFile_;
};

// The file name of the running program, without its folder.
std::string ProgramFileName();

}  // namespace setwright
