// Setwright: writes the game's settings file into the Windows directory, with the game's
// defaults and the current directory as the game directory.
#include "setup_run.h"

#ifdef _WIN32
#include "platform_windows.h"
#else
#include <csignal>

#include "platform_wine.h"
#include "wine_paths.h"
#endif

int main(int /*argc*/, char** argv) {
#ifdef _WIN32
  (void)argv;
  setwright::WindowsPlatform platform;
  const std::string moduleName = setwright::ProgramFileName();
#else
  // A closed pipe is an output error with a code, as on Windows, not a signal that kills.
  std::signal(SIGPIPE, SIG_IGN);
  setwright::UnixFileOperations files;
  setwright::WinePlatform platform(setwright::WinePrefixFromEnvironment(), files);
  const std::string moduleName = setwright::ProgramFileName(argv[0]);
#endif
  const int status = setwright::RunSetup(platform, moduleName);
  platform.FinishStandardOutput();
  return status;
}
