// Child processes, for tests that run the programs.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct ProcessResult {
  int exitStatus = -1;  // -1 when the process did not exit normally
  std::string output;   // standard output, byte for byte
};

// Runs `argv` (the program looked up in PATH) in `workingDirectory`, its environment this
// process's with the NAME=VALUE settings of `environment`; standard input and standard error are
// /dev/null.
inline ProcessResult RunProcess(const std::vector<std::string>& argv,
                                const std::filesystem::path& workingDirectory,
                                const std::vector<std::string>& environment = {}) {
  std::string command = "exec env -C";
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{workingDirectory.string()}, environment, argv}) {
    for (const std::string& word : words) {
      command += " '";
      for (const char c : word) {
        command += c == '\'' ? "'\\''" : std::string(1, c);
      }
      command += "'";
    }
  }
  FILE* const pipe = ::popen((command + " </dev/null 2>/dev/null").c_str(), "r");
  ProcessResult result;
  char buffer[4096];
  for (std::size_t got = 0; pipe != nullptr && (got = std::fread(buffer, 1, 4096, pipe)) > 0;) {
    result.output.append(buffer, got);
  }
  const int status = pipe != nullptr ? ::pclose(pipe) : -1;
  result.exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace testing_support
