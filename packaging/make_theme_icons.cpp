// Writes the program icon at the icon theme's sizes, as FOLDER/NxN/apps/trovanta.png, as sharp as
// each size allows: every pixel of the 32 x 32 icon becomes a whole block (nearest neighbour) up
// to the first multiple of 32 at or above the size, and a size in between is then reached by
// averaging down (16 and 24 from 32, 48 from 64).
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

#include "lister/qt/program_icon.h"

int main(int argc, char** argv) {
  // The messages go to stderr unchecked: when they cannot be written the exit status still tells.
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-theme-icons FOLDER\n");
    return 2;
  }
  const QImage icon = lister::window::ProgramIconImage();
  if (icon.isNull()) {
    std::fprintf(stderr, "make-theme-icons: the program icon cannot be read\n");
    return 1;
  }
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const int blocks = (size + icon.width() - 1) / icon.width();
    const QImage sharp = icon.scaled(icon.width() * blocks, icon.height() * blocks,
                                     Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QImage scaled = sharp.width() == size ? sharp
                                                : sharp.scaled(size, size, Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation);
    const QString folder =
        QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1]), QString::number(size));
    if (!QDir().mkpath(folder) || !scaled.save(folder + "/trovanta.png", "PNG")) {
      std::fprintf(stderr, "make-theme-icons: cannot write %s/trovanta.png\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
