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

#include "setup/core/block_output.h"
#include "setup/core/replacing_file.h"
#include "setup/core/setup_platform.h"

namespace setwright {

// Files through the Win32 ANSI calls. A new file made by CreateNew is marked for deletion until
// Link, so that the system removes it when the process is killed before it is complete.
class WindowsFileOperations final : public FileOperations {
 public:
  ~WindowsFileOperations() override;

  std::int32_t CheckWritable(const std::string& path) override;
  std::int32_t CreateNew(const std::string& path, const std::string& model) override;
  std::int32_t Create(const std::string& path) override;
  std::int32_t Read(const std::string& path, std::string& bytes) override;
  std::int32_t Write(const char* data, std::size_t size) override;
  std::int32_t Sync() override;
  std::int32_t Link() override;
  std::int32_t Close() override;
  std::int32_t Rename(const std::string& from, const std::string& to) override;
  void Remove(const std::string& path) override;

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool deletePending_ = false;
};

class WindowsPlatform final : public SetupPlatform {
 public:
  WindowsPlatform();

  std::int32_t WriteStandardOutput(std::string_view bytes) override;
  std::int32_t ReadCurrentDirectory(std::string& directory) override;
  std::string ReadSystemRoot() override;
  std::int32_t CreateSettingsFile(const std::string& path) override;
  std::int32_t WriteSettingsFile(std::string_view bytes) override;
  std::int32_t CloseSettingsFile() override;
  void DiscardSettingsFile() override;

  // Writes out what standard output still buffers; called once, as the program ends. Returns 0 or
  // the error code.
  std::int32_t FinishStandardOutput();

 private:
  HANDLE output_;
  BlockOutput console_;
  WindowsFileOperations files_;
  ReplacingFile settingsFile_{files_};
};

// The file name of the running program, without its folder.
std::string ProgramFileName();

}  // namespace setwright
