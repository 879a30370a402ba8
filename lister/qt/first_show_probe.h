// A measuring hook for the start-up benchmark: with TROVANTA_EXIT_AFTER_FIRST_SHOW set, the
// program reports on standard error how long it took from entering main to the main window's
// first paint, and its peak resident memory so far, then quits with status 0.
#pragma once

#include <QElapsedTimer>
#include <QObject>

namespace lister::window {

inline constexpr char kFirstShowVariable[] = "TROVANTA_EXIT_AFTER_FIRST_SHOW";

class FirstShowProbe : public QObject {
  Q_OBJECT

 public:
  // Watches `window` when the variable is set; `sinceMain` was started on entering main.
  FirstShowProbe(QWidget& window, const QElapsedTimer& sinceMain);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QElapsedTimer sinceMain_;
  bool reported_ = false;
};

// Peak resident set size of this process in KiB (VmHWM), or -1 where it cannot be read.
long PeakResidentKiB();

}  // namespace lister::window
