// Placing top-level windows: every window of the program opens centred on the screen.
#pragma once

#include <QWidget>

namespace lister::window {

// Moves `window` so that its frame is centred on the available area of its screen (the primary
// screen when it has none yet). Call it once the window has its final size.
void CentreOnScreen(QWidget& window);

}  // namespace lister::window
