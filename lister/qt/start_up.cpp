#include "start_up.h"

#include <QApplication>
#include <QStyleFactory>
#include <cstring>

#include "listing_texts.h"
#include "program_icon.h"
#include "visible_text.h"

namespace lister::window {

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

std::unique_ptr<TForm1> PrepareMainWindow(archive::ArchiveReader& reader,
                                          const std::vector<std::string>& args,
                                          DialogRunner runDialog) {
  std::string archivePath = args.empty() ? std::string() : args.front();
  auto form = std::make_unique<TForm1>(reader, std::move(runDialog));
  form->SetArchivePath(std::move(archivePath));
  form->PlaceFixedTexts();
  form->ListArchive();
  return form;
}

int RunTrovanta(int argc, char** argv, const std::function<void(TForm1&)>& beforeShow) {
  archive::ArchiveReader reader;
  UseClassicStyle(argc, argv);
  // QApplication takes its own options (-platform, -style, ...) out of argv first; the
  // arguments are then the bytes as given, so any file name reaches the listing unchanged.
  QApplication app(argc, argv);
  const std::vector<std::string> args(argv + 1, argv + argc);
  QApplication::setApplicationName(FixedText(kProductName));
  QGuiApplication::setDesktopFileName(QStringLiteral("trovanta"));
  QApplication::setWindowIcon(ProgramIconPixmap());

  const std::unique_ptr<TForm1> form = PrepareMainWindow(reader, args);
  if (beforeShow) {
    beforeShow(*form);
  }
  form->show();
  return QApplication::exec();
}

}  // namespace lister::window
