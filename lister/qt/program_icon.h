// The program's 32 x 32, 16-colour icon, for the windows, the about box and the installed file.
#pragma once

#include <QImage>
#include <QPixmap>

namespace lister::window {

QImage ProgramIconImage();
QPixmap ProgramIconPixmap();

}  // namespace lister::window
