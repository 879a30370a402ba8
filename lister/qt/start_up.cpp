#include "lister/qt/start_up.h"

#include <QApplication>
#include <QStyleFactory>
#include <algorithm>

#include "lister/core/listing_texts.h"
#include "lister/qt/program_icon.h"
#include "lister/qt/visible_text.h"

namespace lister::window {

void UseClassicStyle() {
  if (qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE")) {
    return;
  }
  if (QStyleFactory::keys().contains(QStringLiteral("Windows"))) {
    QApplication::setStyle(QStringLiteral("Windows"));
  }
}

void NameApplication() {
  QApplication::setApplicationName(FixedText(kProductName));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.gorblunk.Trovanta"));
  QApplication::setWindowIcon(ProgramIconPixmap());
}

std::unique_ptr<MainWindow> PrepareMainWindow(archive::ArchiveReader& reader,
                                              const std::vector<std::string>& args,
                                              DialogRunner runDialog) {
  std::string archivePath = args.empty() ? std::string() : args.front();
  auto window = std::make_unique<MainWindow>(reader, std::move(runDialog));
  window->SetArchivePath(std::move(archivePath));
  window->PlaceFixedTexts();
  window->ListArchive();
  return window;
}

ProgramArguments::ProgramArguments(int argc, char** argv)
    : args_(argv + std::min(argc, 1), argv + argc), programName_(argc > 0 ? argv[0] : "Trovanta") {
  qtArgv_[0] = programName_.data();
}

int RunTrovanta(int argc, char** argv, const std::function<void(MainWindow&)>& beforeShow) {
  archive::ArchiveReader reader;
  UseClassicStyle();
  ProgramArguments arguments(argc, argv);
  QApplication app(arguments.QtArgc(), arguments.QtArgv());
  const std::vector<std::string>& args = arguments.Args();
  NameApplication();

  const std::unique_ptr<MainWindow> window = PrepareMainWindow(reader, args);
  if (beforeShow) {
    beforeShow(*window);
  }
  window->show();
  return QApplication::exec();
}

}  // namespace lister::window
