#include "process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace testing_support {

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::filesystem::path& workingDirectory,
                         const std::vector<std::pair<std::string, std::string>>& environment,
                         Output output) {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    variables.emplace_back(*variable);
  }
  for (const auto& [name, value] : environment) {
    std::erase_if(variables, [&](const std::string& v) { return v.starts_with(name + "="); });
    variables.push_back(name + "=" + value);
  }
  std::vector<char*> arguments;
  std::vector<char*> envp;
  for (const std::string& argument : argv) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  for (std::string& variable : variables) {
    envp.push_back(variable.data());
  }
  arguments.push_back(nullptr);
  envp.push_back(nullptr);

  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot make a pipe");
  }
  if (output == Output::kClosed) {
    ::close(pipeEnds[0]);
    pipeEnds[0] = -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  pid_t child = 0;
  const int spawned =
      ::posix_spawnp(&child, arguments[0], &actions, nullptr, arguments.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  ProcessResult result;
  if (spawned != 0) {
    if (pipeEnds[0] >= 0) {
      ::close(pipeEnds[0]);
    }
    return result;
  }
  char buffer[4096];
  for (ssize_t got; pipeEnds[0] >= 0 && (got = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
    if (got > 0) {
      result.output.append(buffer, static_cast<std::size_t>(got));
    } else if (errno != EINTR) {
      break;
    }
  }
  if (pipeEnds[0] >= 0) {
    ::close(pipeEnds[0]);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& path)
    : saved_(std::filesystem::current_path()) {
  std::filesystem::current_path(path);
}

WorkingDirectory::~WorkingDirectory() {
  std::error_code error;
  std::filesystem::current_path(saved_, error);
}

}  // namespace testing_support
