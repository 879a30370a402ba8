// Trovanta: lists one of the game's archive files in a window.
#include <QApplication>
#include <QElapsedTimer>
#include <QStyleFactory>
#include <cstring>
#include <string>
#include <vector>

#include "archive_reader.h"
#include "first_show_probe.h"
#include "listing_texts.h"
#include "program_icon.h"
#include "start_up.h"

namespace {

// The classic Windows style draws the window as designed: group box captions in the frame,
// 3-D edges, flat button-face panels. A style the user asks for (-style, QT_STYLE_OVERRIDE) wins.
void UseClassicStyle(int argc, char** argv) {
  if (qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE")) {
    return;
  }
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "-style", 6) == 0 || std::strncmp(argv[i], "--style", 7) == 0) {
      return;
    }
  }
  if (QStyleFactory::keys().contains(QStringLiteral("Windows"))) {
    QApplication::setStyle(QStringLiteral("Windows"));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceMain;
  sinceMain.start();
  archive::ArchiveReader reader;
  UseClassicStyle(argc, argv);
  // QApplication takes its own options (-platform, -style, ...) out of argv first; the
  // arguments are then the bytes as given, so any file name reaches the listing unchanged.
  QApplication app(argc, argv);
  const std::vector<std::string> args(argv + 1, argv + argc);
  QApplication::setApplicationName(QString::fromLatin1(
      lister::kProductName.data(), static_cast<qsizetype>(lister::kProductName.size())));
  QGuiApplication::setDesktopFileName(QStringLiteral("trovanta"));
  QApplication::setWindowIcon(lister::window::ProgramIconPixmap());

  std::unique_ptr<lister::window::TForm1> form = lister::window::PrepareMainWindow(reader, args);
  lister::window::FirstShowProbe probe(*form, sinceMain);
  form->show();
  return QApplication::exec();
}
