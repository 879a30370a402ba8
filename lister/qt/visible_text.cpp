#include "lister/qt/visible_text.h"

#include <QFile>

namespace lister::window {

namespace {

constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;

}  // namespace

QString FixedText(std::string_view ascii) {
  return QString::fromLatin1(ascii.data(), static_cast<qsizetype>(ascii.size()));
}

QString ShowControls(QString text) {
  for (QChar& c : text) {
    const char16_t code = c.unicode();
    if (code < 0x20) {
      c = QChar(static_cast<char16_t>(kControlPictures + code));
    } else if (code == 0x7F) {
      c = QChar(kDeletePicture);
    }
  }
  return text;
}

QString DisplayText(const std::string& utf8) {
  return ShowControls(QString::fromStdString(utf8));
}

QString PathText(const std::string& bytes) {
  return ShowControls(QFile::decodeName(QByteArray::fromStdString(bytes)));
}

std::string PathBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace lister::window
