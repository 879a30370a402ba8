// Placing top-level windows: every window of the program opens centred on the screen, and every
// dialog fits the screen, whatever the scale.
#pragma once

#include <QWidget>

namespace lister::window {

// Moves `window` so that its frame is centred on the available area of its screen (the primary
// screen when it has none yet). Call it once the window has its final size.
void CentreOnScreen(QWidget& window);

// Shrinks `dialog` where it is larger than the available area of its screen (its layout squeezes
// its controls, so that its buttons stay in reach), then centres it. Call it from its showEvent.
void FitOnScreen(QWidget& dialog);

// Fits and centres `dialog` on each show; for dialogs that are not our own classes.
void FitOnScreenWhenShown(QWidget& dialog);

}  // namespace lister::window
