// trovanta-first-show: Trovanta as shipped, measured. It reports on standard error how long it
// took from entering main to the main window's first paint, and its peak resident memory so
// far, then quits with status 0.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>

#include "bench/soak_memory.h"
#include "lister/qt/start_up.h"

namespace {

class FirstShowProbe : public QObject {
 public:
  FirstShowProbe(QWidget& window, const QElapsedTimer& sinceMain)
      : QObject(&window), sinceMain_(sinceMain) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !reported_) {
      reported_ = true;
      // first_show.py fails the run when this line does not reach it.
      std::fprintf(stderr, "first_show_ms=%lld peak_rss_kib=%ld\n",
                   static_cast<long long>(sinceMain_.elapsed()), bench::PeakRssKib());
      std::fflush(stderr);
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QElapsedTimer sinceMain_;
  bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceMain;
  sinceMain.start();
  return lister::window::RunTrovanta(argc, argv, [&sinceMain](lister::window::MainWindow& form) {
    new FirstShowProbe(form, sinceMain);
  });
}
