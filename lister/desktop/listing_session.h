// The behaviour of Trovanta's main window that is not drawing, the same in every window toolkit:
// the listing and its rows, the busy gate while a listing runs and the close request kept for
// its end, the pacing of the progress window, the current row across listings, what the open
// dialog remembers and which drops are taken. A window builds its controls, draws, and passes
// the user's commands here; the session answers through SessionWindow.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "lister/core/archive_listing.h"
#include "lister/core/listing_view.h"
#include "lister/desktop/current_row.h"
#include "lister/desktop/progress_pacer.h"
#include "lister/desktop/row_store.h"
#include "lister/desktop/window_layout.h"

namespace lister {

// What the session asks of a window.
class SessionWindow {
 public:
  virtual ~SessionWindow() = default;

  // The table is about to change its rows: the window calls `resize` and then shows the new
  // row count, every row as the row store then holds it (a new table's rows are empty).
  virtual void ResetTable(const std::function<void()>& resize) = 0;
  // Rows filled since the last call are ready to be shown.
  virtual void ShowFilledRows() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetSummary(const Summary& summary) = 0;
  // A modal error box; returns when it is closed.
  virtual void ShowError(const std::string& message) = 0;

  // The progress window of a long listing: shown once, updated (the window lets events through
  // then), hidden at the listing's end.
  virtual void ShowProgress(const std::string& archiveName, std::int64_t totalRows) = 0;
  virtual void UpdateProgress(std::int64_t rowsDone) = 0;
  virtual void HideProgress() = 0;

  // The grid row current now (the first record is row 1), 0 when there is none.
  virtual std::int64_t CurrentGridRow() const = 0;
  virtual void PlaceCurrentRow(const CurrentRow& choice) = 0;
  // Closes the window: a close request kept while a listing ran is carried out.
  virtual void CloseNow() = 0;
};

// What the open dialog keeps from one confirmed choice to the next use within the run.
struct OpenChoice {
  std::string path;                        // the file name pre-filled, as the window's bytes
  std::size_t filter = kFirstFilterIndex;  // counted from 0
};

// How a drag is answered: a dropped file is only read, so the drop is taken as a copy or a link,
// never as a move, after which the drag source might delete the file.
enum class DropAnswer { kRefuse, kCopy, kLink };

class ListingSession : private ListingView {
 public:
  ListingSession(archive::ArchiveReader& reader, SessionWindow& window,
                 ProgressPacer::Clock clock = std::chrono::steady_clock::now);
  ListingSession(const ListingSession&) = delete;
  ListingSession& operator=(const ListingSession&) = delete;

  void SetArchivePath(std::string path) { listing_.SetArchivePath(std::move(path)); }
  // Lists the archive at the archive path, then places the current row; false, changing
  // nothing, while a listing runs.
  bool ListArchive();
  // A path chosen in the open dialog or dropped: listed like the archive path, and a dropped one
  // remembered as if chosen in the dialog. False, changing nothing, while a listing runs.
  bool ListChosenPath(const std::string& path);
  bool ListDroppedPath(const std::string& path);
  // The unit buttons; ignored while a listing runs.
  void SetShowInKB(bool inKB);

  // True while a listing runs: the window then takes no commands.
  bool Busy() const { return busy_; }
  // A close request (the close box, Alt+F4, Esc): true when the window may close now; while a
  // listing runs it stops the listing before its next record and is carried out at its end.
  bool RequestClose();
  // The progress window's Cancel: the running listing stops before its next record; the rows
  // read stay, one row stands for the records not listed and the totals cover the rows read.
  void CancelListing();

  // A modal box of the window (the error box, the about box, the open dialog) is up while one
  // of these lives.
  class ModalScope {
   public:
    explicit ModalScope(ListingSession& session) : session_(session) { ++session_.modalBoxes_; }
    ~ModalScope() { --session_.modalBoxes_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

   private:
    ListingSession& session_;
  };

  // Whether a path of `length` characters (the toolkit's own: bytes, or Unicode characters) may
  // be listed when chosen in the open dialog: an empty or longer path counts as a cancel.
  static bool AcceptsPathLength(std::size_t length);
  // The answer to a drag of a path of `pathLength` characters that offers a copy, a link or
  // both: none for an empty path, or while a listing runs or a modal box is up. A dropped path
  // of any length is taken, as on the command line.
  DropAnswer AnswerDrop(bool copyOffered, bool linkOffered, std::size_t pathLength) const;

  const OpenChoice& LastChoice() const { return lastChoice_; }
  // The open dialog was confirmed with `choice`; a cancel keeps the last one.
  void RememberChoice(OpenChoice choice) { lastChoice_ = std::move(choice); }

  const RowStore& Rows() const { return rows_; }
  const std::string& ArchiveName() const { return listing_.ArchiveName(); }
  void SetProgressDelay(std::chrono::milliseconds delay) { pacer_.SetDelay(delay); }

 private:
  class BusyScope;

  void ResizeTable(std::int64_t recordRows) override;
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;
  void CutTable(std::int64_t recordRows) override;
  void SetCaption(const std::string& caption) override { window_.SetCaption(caption); }
  void SetSummary(const Summary& summary) override { window_.SetSummary(summary); }
  void ShowError(const std::string& message) override;
  void EndProgress();

  SessionWindow& window_;
  ArchiveListing listing_;
  RowStore rows_;
  ProgressPacer pacer_;
  OpenChoice lastChoice_;
  bool busy_ = false;
  bool closeRequested_ = false;  // while a listing runs
  int modalBoxes_ = 0;
};

}  // namespace lister
