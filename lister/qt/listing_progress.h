// Keeps a long listing from looking frozen. The listing fills the table synchronously; once it
// has run for the delay, a modal progress dialog (rows done of the total) appears and events are
// let through a few times a second. There is no cancel: a listing always runs to completion, so
// neither Esc nor a close request hides the dialog. While events are let through the main
// window must not start anything that would list again.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>

#include "window_layout.h"

class QProgressDialog;
class QWidget;

namespace lister::window {

class ListingProgress {
 public:
  ListingProgress(QWidget* parent, QString archiveName, std::int64_t totalRows,
                  std::chrono::milliseconds delay);
  ~ListingProgress();
  ListingProgress(const ListingProgress&) = delete;
  ListingProgress& operator=(const ListingProgress&) = delete;

  // Called after each row; true when events were let through just now.
  bool Update(std::int64_t rowsDone);

 private:
  void Show();

  QWidget* parent_;
  QString archiveName_;
  std::int64_t totalRows_;
  std::chrono::milliseconds delay_;
  QElapsedTimer clock_;
  std::int64_t lastUpdate_ = 0;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace lister::window
