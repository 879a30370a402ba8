// OpenDialog1: the file-open dialog through which the user picks an archive. It keeps the
// filter and the path of the last confirmed choice for the next use within the run. The name
// is typed or picked freely: the file need not exist (the listing says so when it does not).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "dialog_runner.h"
#include "window_layout.h"

class QFileDialog;

namespace lister::window {

struct FileFilter {
  QString description;  // shown exactly as written
  QStringList patterns;
};

// The filters in the order the dialog offers them.
const std::vector<FileFilter>& ArchiveFilters();

bool IsAcceptablePath(const QString& path);

class ArchiveOpenDialog : public QObject {
  Q_OBJECT

 public:
  ArchiveOpenDialog(DialogRunner runDialog, QObject* parent);

  // Runs the dialog over `parent`: the chosen file's full path, or nothing when cancelled.
  std::optional<QString> Execute(QWidget* parent);

  // A path chosen another way (dropped on the window) is remembered as if chosen here.
  void RememberPath(const QString& path) { lastPath_ = path; }

 private:
  void Configure(QFileDialog& dialog) const;

  DialogRunner runDialog_;
  int filterIndex_ = static_cast<int>(kFirstFilterIndex);
  QString lastPath_;
};

}  // namespace lister::window
