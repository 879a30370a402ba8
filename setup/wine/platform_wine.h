// The setup platform on Linux, for a game run under Wine: the Windows side of the system is the
// Wine prefix, its registry hive and its drive links. Not part of the Windows build.
#pragma once

#ifdef _WIN32
#error "platform_wine.h is the Linux platform layer; the Windows build uses platform_windows.h"
#endif

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "setup/core/block_output.h"
#include "setup/core/replacing_file.h"
#include "setup/core/setup_platform.h"
#include "setup/wine/wine_paths.h"

namespace setwright {

// Files through the Unix calls, with errors as the Windows codes that Wine gives for them. Only a
// regular file is replaced: anything else of the name fails as it fails for Setwright.exe under
// Wine. A new file has no name until it is complete, where the file system allows (O_TMPFILE).
class UnixFileOperations : public FileOperations {
 public:
  ~UnixFileOperations() override;

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
  int file_ = -1;
  std::string unnamed_;  // the name that the file made last gets from Link; empty once it has one
};

// How standard output is buffered on `descriptor`: line by line on a character device (a
// terminal), in whole blocks on files and pipes.
BlockOutput::Mode ConsoleMode(int descriptor);

class WinePlatform final : public SetupPlatform {
 public:
  // The settings file goes through `files`; standard output is `console`.
  WinePlatform(std::filesystem::path prefix, FileOperations& files, int console = STDOUT_FILENO);

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
  std::filesystem::path prefix_;
  WineDrives drives_;
  int console_;
  BlockOutput consoleOutput_;
  ReplacingFile settingsFile_;
};

// The file name of the running program, without its folder.
std::string ProgramFileName(const char* argv0);

}  // namespace setwright
