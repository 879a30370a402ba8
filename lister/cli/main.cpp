#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "lister/cli/command_line.h"

int main(int argc, char** argv) {
  static char outBuffer[1 << 16];
  // Should the larger buffer be refused, standard output keeps its own, which serves as well.
  std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = lister::cli::RunLister(args, stdout, stderr);
  // As GNU tools do, standard output is closed and checked: closing can fail where writing did
  // not (a file on NFS). A failure that RunLister met has set the error indicator and been
  // reported already.
  const bool reported = std::ferror(stdout) != 0;
  errno = 0;
  if (std::fclose(stdout) != 0 && !reported) {
    return lister::cli::ReportOutputFailure(stderr, "listing",
                                            std::strerror(errno != 0 ? errno : EIO));
  }
  return status;
}
