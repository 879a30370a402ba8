// Scales a PNG image up by whole pixels (nearest neighbour), so that a small pixel-art icon stays
// sharp at the large sizes of the desktop's icon theme.
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
  if (input.isNull() || size % input.width() != 0 || size % input.height() != 0) {
    std::fprintf(stderr, "scale-png: %s is no image that scales to %d by whole pixels\n", argv[1],
                 size);
    return 1;
  }
  const QImage output = input.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (!output.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "scale-png: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
