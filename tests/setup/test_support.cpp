#include "test_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "banner.h"

namespace setwright::testing {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "setwright-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary folder");
  }
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& path)
    : saved_(std::filesystem::current_path()) {
  std::filesystem::current_path(path);
}

WorkingDirectory::~WorkingDirectory() {
  std::error_code error;
  std::filesystem::current_path(saved_, error);
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::filesystem::path& workingDirectory,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) {
    throw std::runtime_error("cannot make a pipe");
  }
  const pid_t child = ::fork();
  if (child < 0) {
    throw std::runtime_error("cannot start a process");
  }
  if (child == 0) {
    const int nothing = ::open("/dev/null", O_RDWR);
    ::dup2(nothing, STDIN_FILENO);
    ::dup2(nothing, STDERR_FILENO);
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    for (const auto& [name, value] : environment) {
      ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> arguments;
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
  for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
    if (got > 0) {
      result.output.append(buffer, static_cast<std::size_t>(got));
    } else if (errno != EINTR) {
      break;
    }
  }
  ::close(pipeEnds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string BannerText() {
  std::string text;
  for (const std::string_view line : BannerLines()) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string HiveWithValues(const std::string& valueLines) {
  return "WINE REGISTRY Version 2\n"
         ";; All keys relative to REGISTRY\\\\Machine\n"
         "\n"
         "#arch=win64\n"
         "\n"
         "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796581380\n"
         "#time=1dd85aed36dfe84\n"
         "\"SystemRoot\"=\"C:\\\\wrong key\"\n"
         "\n"
         "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1796581394\n"
         "#time=1dd85aedba7a19a\n"
         "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n" +
         valueLines +
         "\n"
         "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths] 1796581380\n"
         "#time=1dd85aed324e014\n"
         "\"SystemRoot\"=\"C:\\\\wrong subkey\"\n";
}

}  // namespace setwright::testing
