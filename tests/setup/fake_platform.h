// A setup platform whose operations succeed until a planned fault, with a file system that is a
// map from path to contents.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup_platform.h"

namespace setwright::testing {

class FakePlatform final : public SetupPlatform {
 public:
  enum class Operation { kConsoleWrite, kCreate, kFileWrite, kClose };

  // The `occurrence`-th call (from 1) of `operation` fails with `code`; with `sticky` every later
  // call of it fails too.
  struct Fault {
    Operation operation;
    int occurrence;
    std::int32_t code;
    bool sticky = false;
  };

  std::int32_t WriteStandardOutput(std::string_view bytes) override;
  std::int32_t ReadCurrentDirectory(std::string& directory) override;
  std::string ReadSystemRoot() override;
  std::int32_t CreateSettingsFile(const std::string& path) override;
  std::int32_t WriteSettingsFile(std::string_view bytes) override;
  std::int32_t CloseSettingsFile() override;
  void DiscardSettingsFile() override;

  // Set up by the test.
  std::string currentDirectory = "C:\\GAMES\\GORBLUNK";
  std::int32_t currentDirectoryError = 0;
  std::function<std::string()> systemRoot = [] { return std::string("C:\\WINDOWS"); };
  std::optional<Fault> fault;
  std::map<std::string, std::string> files;  // files in place, by path

  // Seen by the test.
  std::string console;                     // bytes that standard output took
  std::optional<std::string> newFilePath;  // the settings file being written, if any
  std::string newFileBytes;
  std::vector<std::string> calls;  // "console", "directory", "registry", "create", "write", ...

 private:
  bool Fails(Operation operation, std::int32_t& code);

  std::map<Operation, int> counts_;
};

}  // namespace setwright::testing
