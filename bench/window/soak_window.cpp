// soak-window: a long session in the window. A thousand listings in a row, through the open
// dialog and by drops, of good archives, a file that is no archive and a hostile archive whose
// header claims two billion records, with the unit switched now and then. Prints the peak
// resident memory after the first hundred listings, where Qt's caches have warmed up, and after
// all; exits 1 when the latter is more than 1.10 times the former, 2 when a listing went wrong.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_writer.h"
#include "bench/soak_memory.h"
#include "lister/qt/error_box.h"
#include "lister/qt/main_window.h"
#include "lister/qt/start_up.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kListings = 1000;
constexpr int kWarmUpListings = 100;

// Every fourth record compressed, the others stored.
archive::ArchiveImage GoodArchive(int records) {
  std::vector<archive::RecordSpec> specs;
  for (int i = 0; i < records; ++i) {
    archive::RecordSpec record;
    record.name = "REC" + std::to_string(i) + ".DAT";
    record.storedSize = 500;
    if (i % 4 == 3) {
      record.method = archive::kMethodLzw;
      record.uncompressedLength = 4000;
    }
    specs.push_back(record);
  }
  return archive::BuildArchive("Soak", 3, specs);
}

// 2048 bytes whose header claims INT32_MAX records: the 80 entries that fit are empty slots, the
// rest one run of empty records.
archive::ArchiveImage HostileArchive() {
  archive::ArchiveImage image;
  archive::HeaderFields header;
  header.directoryOffset = static_cast<std::int32_t>(archive::kHeaderSize) + 200;
  header.version = 7;
  header.recordCount = std::numeric_limits<std::int32_t>::max();
  header.title = "Hostile";
  image.PutHeader(header);
  image.Resize(2048);
  return image;
}

void Drop(lister::window::MainWindow& form, const std::string& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
}

// Lets the window finish what it queued (the dropped file's listing, repaints, deletions).
void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const testing_support::TempDir dir;
  struct Listed {
    std::string path;
    int rows;
  };
  const std::vector<Listed> files = {
      {dir.Write("small.spr", GoodArchive(24)), 24},
      {dir.WriteText("notes.spr", "These are notes, not an archive.\r\n"), 0},
      {dir.Write("large.til", GoodArchive(400)), 400},
      {dir.Write("hostile.spr", HostileArchive()), 81},
  };
  QString chosen;
  archive::ArchiveReader reader;
  const auto answer = [&chosen](QDialog& dialog) {
    if (auto* open = qobject_cast<QFileDialog*>(&dialog)) {
      open->selectFile(chosen);
      return static_cast<int>(QDialog::Accepted);
    }
    return qobject_cast<lister::window::ErrorBox*>(&dialog) != nullptr
               ? static_cast<int>(QMessageBox::Ok)
               : static_cast<int>(QDialog::Rejected);
  };
  const std::unique_ptr<lister::window::MainWindow> form =
      lister::window::PrepareMainWindow(reader, {}, answer);
  form->show();

  long afterWarmUp = 0;
  for (int i = 0; i < kListings; ++i) {
    const Listed& file = files[static_cast<std::size_t>(i) % files.size()];
    if (i % 2 == 0) {
      chosen = QString::fromStdString(file.path);
      form->findChild<QAction*>("Open1")->trigger();
    } else {
      Drop(*form, file.path);
    }
    Settle();
    const int rows = form->findChild<QAbstractItemView*>("StringGrid1")->model()->rowCount();
    if (rows != file.rows) {
      // A message that standard error cannot take has nowhere else to go; the status still tells.
      std::fprintf(stderr, "soak-window: listing %d of %s shows %d rows, not %d\n", i,
                   file.path.c_str(), rows, file.rows);
      return 2;
    }
    if (i % 7 == 6) {
      form->findChild<QRadioButton*>(i % 14 == 6 ? "RadioButton2" : "RadioButton1")->click();
    }
    if (i + 1 == kWarmUpListings) {
      afterWarmUp = bench::PeakRssKib();
    }
  }
  return bench::ReportSoak("soak-window", afterWarmUp, bench::PeakRssKib());
}
