// Memory figures for the soak measurements: a run repeats one job many times and checks that
// its peak resident memory after all repetitions stays within a bound of the peak after the
// first hundred, which is where caches and allocator pools have settled.
#pragma once

#include <sys/resource.h>

#include <cstdio>

namespace bench {

// Peak resident set of this process so far, in KiB.
inline long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);  // fails only for an unknown `who` or a bad buffer
  return usage.ru_maxrss;
}

// Prints both peaks as one line and returns the process exit status: 0 when the peak after all
// is at most `bound` times the peak after 100 and the line was printed, 1 otherwise.
inline int ReportSoak(const char* name, long kibAfter100, long kibAfterAll, double bound = 1.10) {
  const double ratio = static_cast<double>(kibAfterAll) / static_cast<double>(kibAfter100);
  const bool flat = ratio <= bound;
  const int printed = std::printf(
      "%s: peak RSS after 100: %ld KiB, after all: %ld KiB, ratio %.3f (bound %.2f) %s\n", name,
      kibAfter100, kibAfterAll, ratio, bound, flat ? "ok" : "GROWING");
  const bool shown = printed > 0 && std::fflush(stdout) == 0;
  return flat && shown ? 0 : 1;
}

}  // namespace bench
