#include "process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace testing_support {

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::filesystem::path& workingDirectory,
                         const std::vector<std::string>& environment, Output output) {
  // env(1) adds the settings, so that this process's environment stays as it is.
  std::vector<std::string> command = {"env"};
  command.insert(command.end(), environment.begin(), environment.end());
  command.insert(command.end(), argv.begin(), argv.end());
  std::vector<char*> arguments;
  for (std::string& argument : command) {
    arguments.push_back(argument.data());
  }
  arguments.push_back(nullptr);
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot make a pipe");
  }
  if (output == Output::kClosed) {
    ::close(pipeEnds[0]);
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, "env", &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  ProcessResult result;
  char buffer[4096];
  ssize_t got = 0;
  while (output == Output::kRead && (got = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0) {
    if (got < 0 && errno != EINTR) {
      break;
    }
    result.output.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
  }
  if (output == Output::kRead) {
    ::close(pipeEnds[0]);
  }
  int status = 0;
  if (spawned == 0) {
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return result;
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& path)
    : saved_(std::filesystem::current_path()) {
  std::filesystem::current_path(path);
}

}  // namespace testing_support
