// Scales a square pixel-art PNG image to the sizes of the desktop's icon theme as sharp as each
// size allows: every pixel becomes a whole block (nearest neighbour) up to the first multiple of
// the image's size at or above the size asked for, and a size in between is then reached by
// averaging down (16 and 24 from 32 by 32, 48 from 64 by 64).
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int size = argc == 4 ? std::atoi(argv[3]) : 0;
  if (size <= 0) {
    std::fprintf(stderr, "usage: scale-png INPUT.png OUTPUT.png SIZE\n");
    return 2;
  }
  const QImage input(QString::fromLocal8Bit(argv[1]));
  if (input.isNull() || input.width() != input.height()) {
    std::fprintf(stderr, "scale-png: %s is no square image\n", argv[1]);
    return 1;
  }
  const int blocks = (size + input.width() - 1) / input.width();
  const QImage sharp = input.scaled(input.width() * blocks, input.height() * blocks,
                                    Qt::IgnoreAspectRatio, Qt::FastTransformation);
  const QImage output = sharp.width() == size ? sharp
                                              : sharp.scaled(size, size, Qt::IgnoreAspectRatio,
                                                             Qt::SmoothTransformation);
  if (!output.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "scale-png: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
