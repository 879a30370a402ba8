// Runs a command and prints its wall time and peak resident memory, as "SECONDS KIB", to
// standard error. A small program of its own, so that the peak counts the command alone and
// not a larger parent that forked it.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(stderr, "usage: run-measured COMMAND [ARG...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) < 0) {
    return 127;
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (std::fprintf(stderr, "%.6f %ld\n", elapsed.count(), usage.ru_maxrss) < 0) {
    return 127;  // unbuffered: a failed report is known at once
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
