// When a long listing shows its progress. The listing fills the table synchronously; once it has
// run for the delay, the window shows a progress window (rows done of the total) and lets events
// through a few times a second, and once more at the last row so that the count ends complete.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace lister {

// A listing that runs longer than this shows its progress, refreshed at this interval.
inline constexpr std::chrono::milliseconds kProgressDelay{500};
inline constexpr std::chrono::milliseconds kProgressInterval{50};

class ProgressPacer {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  enum class Step {
    kWait,    // nothing to show now
    kShow,    // show the progress window, then update it
    kUpdate,  // update the progress window shown before
  };

  explicit ProgressPacer(Clock clock = std::chrono::steady_clock::now) : clock_(std::move(clock)) {}

  void SetDelay(std::chrono::milliseconds delay) { delay_ = delay; }
  // A listing of `totalRows` rows starts now; no progress is shown yet.
  void Start(std::int64_t totalRows);
  // Called after each row.
  Step After(std::int64_t rowsDone);
  bool Shown() const { return shown_; }

 private:
  Clock clock_;
  std::chrono::milliseconds delay_ = kProgressDelay;
  std::int64_t totalRows_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastUpdate_;
  bool shown_ = false;
};

}  // namespace lister
