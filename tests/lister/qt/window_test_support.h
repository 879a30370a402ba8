// Scaffolding of the window tests: a window started on an archive, its modal dialogs answered in
// place by a script that stands in for the user.
#pragma once

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <ostream>

#include "about.h"
#include "error_box.h"
#include "line_label.h"
#include "start_up.h"
#include "temp_dir.h"
#include "window_font.h"

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace lister::window::testing {

// The descendant of `root` with that object name.
template <typename T = QWidget>
T& Child(const QObject& root, const char* name) {
  T* child = root.findChild<T*>(QString::fromLatin1(name));
  return child != nullptr ? *child : throw std::runtime_error(name);
}

// How far the window's frame lies from the centre of the screen, in pixels.
inline int OffCentre(const QWidget& window) {
  return (window.frameGeometry().center() - window.screen()->availableGeometry().center())
      .manhattanLength();
}

// Whether some pixel of `area` (in device-independent pixels) differs from `paper`.
inline bool Inked(const QImage& image, const QRect& area, const QColor& paper) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(QPoint(x, y) * image.devicePixelRatio()) != paper) {
        return true;
      }
    }
  }
  return false;
}

// Runs `answer` on the modal dialog that the next event loop shows.
inline void AnswerModal(std::function<void(QDialog&)> answer) {
  QTimer::singleShot(0, [answer] { answer(*qobject_cast<QDialog*>(qApp->activeModalWidget())); });
}

class WindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<TForm1> Start(const std::vector<std::string>& args) {
    return PrepareMainWindow(reader_, args, [this](QDialog& dialog) {
      if (auto* box = qobject_cast<ErrorBox*>(&dialog)) {
        errors_.append(box->text());
        errorsWhileShown_ += box->parentWidget()->isVisible() ? 1 : 0;
      }
      auto* open = qobject_cast<QFileDialog*>(&dialog);
      return open != nullptr ? (++openDialogs_, answerOpen_(*open)) : QDialog::Accepted;
    });
  }
  // An archive of `records` stored records named R0.SPR, R1.SPR, ...
  std::string Archive(const std::string& name, int records) {
    std::vector<archive::RecordSpec> numbered;
    for (int i = 0; i < records; ++i) {
      numbered.push_back({"R" + std::to_string(i) + ".SPR", archive::kMethodStored, 100 + i});
    }
    return dir_.Write(name, archive::BuildArchive("Numbered", 1, numbered));
  }
  // Lists `path` as if the user chose it in the open dialog.
  void Open(TForm1& form, const std::string& path) {
    answerOpen_ = [path](QFileDialog& dialog) {
      dialog.selectFile(QString::fromStdString(path));
      return static_cast<int>(QDialog::Accepted);
    };
    Child<QAction>(form, "Open1").trigger();
  }
  static QStringList Summary(const TForm1& form) {
    return Child<LineLabel>(form, "Label2").Lines();
  }
  static QTableView& Grid(const TForm1& form) { return Child<QTableView>(form, "StringGrid1"); }
  static int Rows(const TForm1& form) { return Grid(form).model()->rowCount(); }
  static QString Cell(const TForm1& form, int row, int column) {
    return Grid(form).model()->index(row, column).data().toString();
  }

  archive::ArchiveReader reader_;
  testing_support::TempDir dir_;
  std::function<int(QFileDialog&)> answerOpen_ = [](QFileDialog&) { return 0; };
  QStringList errors_;
  int errorsWhileShown_ = 0;
  int openDialogs_ = 0;
};

}  // namespace lister::window::testing
