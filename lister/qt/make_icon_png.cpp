// Writes the program icon as a PNG file for installation beside the desktop entry.
#include <cstdio>

#include "lister/qt/program_icon.h"

int main(int argc, char** argv) {
  // The messages go to stderr unchecked: when they cannot be written the exit status still tells.
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-trovanta-icon OUTPUT.png\n");
    return 2;
  }
  const QImage icon = lister::window::ProgramIconImage();
  if (icon.isNull() || !icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "make-trovanta-icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
