#include "lister/qt/window_font.h"

#include <QFontInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace lister::window {

QFont WindowFont(int pixelSize) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")});
  const QString found = QFontInfo(font).family();
  if (found != QStringLiteral("MS Sans Serif") && found != QStringLiteral("Microsoft Sans Serif")) {
    // Liberation Sans and Arimo share Arial's widths, wider than MS Sans Serif: at 10 of 11
    // pixels the longest field name ("Total uncompressed length:") ends well before the values
    // column and "2147483647 empty" fits the name column. DejaVu Sans is wider still and comes
    // last.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    pixelSize = std::max(1, static_cast<int>(std::lround(pixelSize * 10.0 / 11.0)));
  }
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace lister::window
