#include "lister/qt/window_placement.h"

#include <QGuiApplication>
#include <QScreen>

namespace lister::window {

void CentreOnScreen(QWidget& window) {
  QScreen* screen = window.screen();
  if (screen == nullptr) {
    screen = QGuiApplication::primaryScreen();
  }
  if (screen == nullptr) {
    return;
  }
  // Before the first show the frame is not known yet; the client area stands in for it.
  const QSize frame = window.frameGeometry().size().expandedTo(window.size());
  const QRect area = screen->availableGeometry();
  window.move(area.x() + (area.width() - frame.width()) / 2,
              area.y() + (area.height() - frame.height()) / 2);
}

}  // namespace lister::window
