#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"

int main(int argc, char** argv) {
  static char outBuffer[1 << 16];
  std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = lister::cli::RunLister(args, stdout, stderr);
  return std::fflush(stdout) == 0 ? status : 1;
}
