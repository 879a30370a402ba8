// The modal progress dialog of a long listing (rows done of the total), shown when the session's
// pacing says so; each update lets events through. There is no cancel: a listing always runs to
// completion, so neither Esc nor a close request hides the dialog.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class QProgressDialog;
class QWidget;

namespace lister::window {

class ListingProgress {
 public:
  // Shows the dialog over `parent`.
  ListingProgress(QWidget* parent, const QString& archiveName, std::int64_t totalRows);
  ~ListingProgress();
  ListingProgress(const ListingProgress&) = delete;
  ListingProgress& operator=(const ListingProgress&) = delete;

  void Update(std::int64_t rowsDone);

 private:
  std::int64_t totalRows_;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace lister::window
