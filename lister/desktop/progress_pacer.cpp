#include "lister/desktop/progress_pacer.h"

namespace lister {

void ProgressPacer::Start(std::int64_t totalRows) {
  totalRows_ = totalRows;
  shown_ = false;
  start_ = clock_();
}

ProgressPacer::Step ProgressPacer::After(std::int64_t rowsDone) {
  // The clock is read every 256 rows: often enough for the eye, rarely enough to cost nothing.
  const bool last = rowsDone >= totalRows_;
  if ((rowsDone - 1) % 256 != 0 && !last) {
    return Step::kWait;
  }
  const auto now = clock_();
  if (!shown_) {
    if (now - start_ < delay_) {
      return Step::kWait;
    }
    shown_ = true;
    lastUpdate_ = now;
    return Step::kShow;
  }
  if (now - lastUpdate_ < kProgressInterval && !last) {
    return Step::kWait;
  }
  lastUpdate_ = now;
  return Step::kUpdate;
}

}  // namespace lister
