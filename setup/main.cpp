// Setwright: writes the game's settings file into the Windows directory, with the game's
// defaults and the current directory as the game directory.
#include "setup/core/setup_run.h"

#ifdef _WIN32
#include "setup/windows/console_pause.h"
#include "setup/windows/platform_windows.h"
#else
#include <csignal>
#include <cstdio>

#include "setup/wine/platform_wine.h"
#include "setup/wine/wine_paths.h"
#endif

int main(int /*argc*/, char** argv) {
#ifdef _WIN32
  (void)argv;
  setwright::WindowsPlatform platform;
  const std::string moduleName = setwright::ProgramFileName();
#else
  // A closed pipe and a file beyond the size limit are output errors with a code, as on Windows,
  // not signals that kill.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  const std::string moduleName = setwright::ProgramFileName(argv[0]);
  const std::filesystem::path prefix = setwright::WinePrefixFromEnvironment();
  if (const std::string problem = setwright::WinePrefixProblem(prefix); !problem.empty()) {
    // The exit status tells when standard error cannot be written either.
    std::fprintf(stderr, "%s: %s\n", moduleName.c_str(), problem.c_str());
    return 1;
  }
  setwright::UnixFileOperations files;
  setwright::WinePlatform platform(prefix, files);
#endif
  const int status = setwright::RunSetup(platform, moduleName);
  // Output that never arrived is a failure too, although no report can tell of it.
  const int exitStatus = platform.FinishStandardOutput() != 0 ? 1 : status;
#ifdef _WIN32
  return setwright::PauseBeforeConsoleCloses(exitStatus);
#else
  return exitStatus;
#endif
}
