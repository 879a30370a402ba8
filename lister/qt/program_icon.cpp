#include "lister/qt/program_icon.h"

#include "assets/program_icon.xpm"

namespace lister::window {

QImage ProgramIconImage() {
  return QImage(kProgramIconXpm);
}

QPixmap ProgramIconPixmap() {
  return QPixmap::fromImage(ProgramIconImage());
}

}  // namespace lister::window
