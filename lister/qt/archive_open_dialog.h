// openDialog_: the file-open dialog through which the user picks an archive, in Qt. The session
// keeps the filter and the path of the last confirmed choice for the next use within the run.
// The name is typed or picked freely: the file need not exist (the listing says so when it does
// not).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "lister/desktop/listing_session.h"
#include "lister/qt/dialog_runner.h"

class QFileDialog;

namespace lister::window {

struct FileFilter {
  QString description;  // shown exactly as written
  QStringList patterns;
};

// The filters in the order the dialog offers them.
const std::vector<FileFilter>& ArchiveFilters();

class ArchiveOpenDialog : public QObject {
  Q_OBJECT

 public:
  ArchiveOpenDialog(ListingSession& session, DialogRunner runDialog, QObject* parent);

  // Runs the dialog over `parent`: the chosen file's full path, or nothing when cancelled.
  std::optional<QString> Execute(QWidget* parent);

 private:
  void Configure(QFileDialog& dialog) const;

  ListingSession& session_;
  DialogRunner runDialog_;
};

}  // namespace lister::window
