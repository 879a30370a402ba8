// Child processes and the working directory, for tests that run the programs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct ProcessResult {
  int exitStatus = -1;  // -1 when the process did not exit normally
  std::string output;   // standard output, byte for byte
};

enum class Output { kRead, kClosed };

// Runs `argv` (the program looked up in PATH) in `workingDirectory`, its environment this
// process's with the NAME=VALUE settings of `environment`; standard input and standard error are
// /dev/null. With Output::kClosed standard output is a pipe whose reading end is closed.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::filesystem::path& workingDirectory,
                         const std::vector<std::string>& environment = {},
                         Output output = Output::kRead);

// Changes the working directory for the life of the object.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& path) {
    std::filesystem::current_path(path);
  }
  ~WorkingDirectory() { std::filesystem::current_path(saved_); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path saved_ = std::filesystem::current_path();
};

}  // namespace testing_support
