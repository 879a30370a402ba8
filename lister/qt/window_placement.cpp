#include "lister/qt/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace lister::window {

namespace {

QScreen* ScreenOf(const QWidget& window) {
  QScreen* screen = window.screen();
  return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

// The frame's size until the window manager has framed the window: a title bar, and the
// left and right (or top and bottom) borders together.
constexpr int kTitleBarGuess = 20;
constexpr int kBorderGuess = 8;

// Whether the window's frame is known; the offscreen platform draws none.
bool IsFramed(const QWidget& window) {
  return window.frameGeometry().size() != window.size() ||
         QGuiApplication::platformName() == QLatin1String("offscreen");
}

// Until the window manager has framed a window, a move places its client area, and the frame is
// not known; this centres it again once it is.
class CentreWhenFramed : public QObject {
 public:
  explicit CentreWhenFramed(QWidget& window) : QObject(&window) {
    window.setProperty(kPending, true);
    window.installEventFilter(this);
  }

  static bool Pending(const QWidget& window) { return window.property(kPending).toBool(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto& window = *static_cast<QWidget*>(watched);
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && IsFramed(window)) {
      window.removeEventFilter(this);
      window.setProperty(kPending, false);
      FitOnScreen(window);
      deleteLater();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  static constexpr const char* kPending = "centreWhenFramed";
};

class FitWhenShown : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      FitOnScreen(*static_cast<QWidget*>(watched));
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = ScreenOf(window);
  if (screen == nullptr) {
    return;
  }
  const QRect area = screen->availableGeometry();
  const int left = area.x() + (area.width() - window.frameGeometry().width()) / 2;
  const int top = area.y() + (area.height() - window.frameGeometry().height()) / 2;
  if (IsFramed(window) || !window.isVisible() || window.testAttribute(Qt::WA_DontShowOnScreen)) {
    window.move(left, top);
    return;
  }
  // A title bar's height is the best guess of the frame until it is known.
  window.move(left, top + kTitleBarGuess / 2);
  if (!CentreWhenFramed::Pending(window)) {
    new CentreWhenFramed(window);
  }
}

void FitOnScreen(QWidget& dialog) {
  const QScreen* screen = ScreenOf(dialog);
  if (screen == nullptr) {
    return;
  }
  // Until the frame is known, room for a title bar and borders is kept.
  const QSize frame = IsFramed(dialog) ? dialog.frameGeometry().size() - dialog.size()
                                       : QSize(kBorderGuess, kTitleBarGuess + kBorderGuess);
  const QSize room = screen->availableGeometry().size() - frame;
  if (dialog.width() > room.width() || dialog.height() > room.height()) {
    // The layout's minimum size would keep the dialog as large as it is.
    dialog.setMinimumSize(dialog.minimumSize().boundedTo(room));
    dialog.resize(dialog.size().boundedTo(room));
  }
  CentreOnScreen(dialog);
}

void FitOnScreenWhenShown(QWidget& dialog) {
  dialog.installEventFilter(new FitWhenShown(&dialog));
}

}  // namespace lister::window
