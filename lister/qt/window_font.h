// The font of the program's windows: MS Sans Serif at 11 pixels (8 point at 96 pixels per
// inch). Where it is missing, a sans-serif of close metrics stands in, a little smaller so that
// texts laid out for MS Sans Serif still fit their places.
#pragma once

#include <QFont>
#include "lister/desktop/window_layout.h"

namespace lister::window {

QFont WindowFont(int pixelSize = kWindowFontPixels);

}  // namespace lister::window
