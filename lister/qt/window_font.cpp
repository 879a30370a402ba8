#include "window_font.h"

#include <QStringList>

namespace lister::window {

QFont WindowFont(int pixelSize) {
  QFont font;
  // Liberation Sans and Arimo share Arial's widths, the nearest to MS Sans Serif among free
  // fonts; DejaVu Sans is wider and comes last.
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                    QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace lister::window
