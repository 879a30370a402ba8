// Child processes and the working directory, for tests that run the programs.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
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
inline ProcessResult RunProcess(const std::vector<std::string>& argv,
                                const std::filesystem::path& workingDirectory,
                                const std::vector<std::string>& environment = {},
                                Output output = Output::kRead) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot make a pipe");
  }
  if (output == Output::kClosed) {
    ::close(pipeEnds[0]);
  }
  // The tests run in one thread, so the child may allocate before it replaces itself.
  const pid_t child = ::fork();
  if (child == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDERR_FILENO);
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    std::vector<char*> arguments;
    for (const std::string& setting : environment) {
      ::putenv(const_cast<char*>(setting.c_str()));
    }
    for (const std::string& argument : argv) {
      arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    if (::chdir(workingDirectory.c_str()) == 0) {
      ::execvp(arguments[0], arguments.data());
    }
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  ProcessResult result;
  char buffer[4096];
  if (output == Output::kRead) {
    for (ssize_t got = 0; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
      result.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
  }
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    result.exitStatus = WEXITSTATUS(status);
  }
  return result;
}

}  // namespace testing_support
