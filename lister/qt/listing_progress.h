// The progress dialog of a long listing (rows done of the total), shown when the session's pacing
// says so; each update lets events through. Its Cancel button, Esc and a close request stop the
// listing; the listing's end hides it. It is not modal: the main window stays able to take a
// close request, and refuses every other command while the listing runs.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace lister::window {

class ListingProgress {
 public:
  // Shows the dialog over `parent`; `cancel` is called when the user asks to stop.
  ListingProgress(QWidget* parent, const QString& archiveName, std::int64_t totalRows,
                  std::function<void()> cancel);
  ~ListingProgress();
  ListingProgress(const ListingProgress&) = delete;
  ListingProgress& operator=(const ListingProgress&) = delete;

  void Update(std::int64_t rowsDone);

 private:
  std::int64_t totalRows_;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace lister::window
