#include "first_show_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <string>

namespace lister::window {

long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::stol(line.substr(6));
    }
  }
  return -1;
}

FirstShowProbe::FirstShowProbe(QWidget& window, const QElapsedTimer& sinceMain)
    : sinceMain_(sinceMain) {
  if (qEnvironmentVariableIsSet(kFirstShowVariable)) {
    window.installEventFilter(this);
  }
}

bool FirstShowProbe::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint && !reported_) {
    reported_ = true;
    std::fprintf(stderr, "first_show_ms=%lld peak_rss_kib=%ld\n",
                 static_cast<long long>(sinceMain_.elapsed()), PeakResidentKiB());
    std::fflush(stderr);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace lister::window
