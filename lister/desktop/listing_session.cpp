#include "lister/desktop/listing_session.h"

#include <algorithm>
#include <string>
#include <vector>

#include "lister/core/listing_texts.h"

namespace lister {

namespace {

// A listed archive's summary lines, each without a value.
Summary BlankSummary() {
  return {.lines = std::vector<std::string>(kSummaryLineCount), .listed = true};
}

}  // namespace

// Marks the time a listing runs; at its end, also when the listing throws, a close request
// made meanwhile is carried out.
class ListingSession::BusyScope {
 public:
  explicit BusyScope(ListingSession& session) : session_(session) { session_.busy_ = true; }
  ~BusyScope() {
    session_.busy_ = false;
    if (session_.closeRequested_) {
      session_.closeRequested_ = false;
      session_.window_.CloseNow();
    }
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  ListingSession& session_;
};

ListingSession::ListingSession(archive::ArchiveReader& reader, SessionWindow& window,
                               ProgressPacer::Clock clock)
    : window_(window), listing_(reader, *this), pacer_(std::move(clock)) {}

bool ListingSession::ListArchive() {
  if (busy_) {
    return false;
  }
  const BusyScope scope(*this);
  const std::int64_t previousRow = window_.CurrentGridRow();
  window_.SetSummary(BlankSummary());  // none of the earlier archive's values beside new rows
  listing_.ListArchive();
  EndProgress();
  window_.ShowFilledRows();
  window_.PlaceCurrentRow(ChooseCurrentRow(previousRow, rows_.Rows()));
  return true;
}

bool ListingSession::ListChosenPath(const std::string& path) {
  if (busy_) {
    return false;
  }
  listing_.SetArchivePath(path);
  return ListArchive();
}

bool ListingSession::ListDroppedPath(const std::string& path) {
  if (!ListChosenPath(path)) {
    return false;
  }
  lastChoice_.path = path;
  return true;
}

void ListingSession::SetShowInKB(bool inKB) {
  if (!busy_) {
    listing_.SetShowInKB(inKB);
  }
}

bool ListingSession::RequestClose() {
  if (busy_) {
    closeRequested_ = true;
    listing_.Stop();
    return false;
  }
  return true;
}

void ListingSession::CancelListing() {
  if (busy_) {
    listing_.Stop();
  }
}

bool ListingSession::AcceptsPathLength(std::size_t length) {
  return length > 0 && length <= kMaxChosenPathLength;
}

DropAnswer ListingSession::AnswerDrop(bool copyOffered, bool linkOffered,
                                      std::size_t pathLength) const {
  if (busy_ || modalBoxes_ > 0 || pathLength == 0) {
    return DropAnswer::kRefuse;
  }
  if (copyOffered) {
    return DropAnswer::kCopy;
  }
  return linkOffered ? DropAnswer::kLink : DropAnswer::kRefuse;
}

void ListingSession::ResizeTable(std::int64_t recordRows) {
  EndProgress();
  window_.ResetTable([this, recordRows] { rows_.Resize(recordRows); });
  pacer_.Start(rows_.Rows());
}

void ListingSession::SetRecordRow(std::int64_t row, const RecordRow& record) {
  rows_.Set(row, record);
  const ProgressPacer::Step step = pacer_.After(row + 1);
  if (step == ProgressPacer::Step::kWait) {
    return;
  }
  if (step == ProgressPacer::Step::kShow) {
    window_.ShowProgress(listing_.ArchiveName(), rows_.Rows());
  }
  window_.ShowFilledRows();
  window_.UpdateProgress(std::min(row + 1, rows_.Rows()));
}

void ListingSession::CutTable(std::int64_t recordRows) {
  EndProgress();  // the listing has stopped early: any error box comes next
  window_.ResetTable([this, recordRows] { rows_.Cut(recordRows); });
}

void ListingSession::ShowError(const std::string& message) {
  const ModalScope modal(*this);
  window_.ShowError(message);
}

void ListingSession::EndProgress() {
  if (pacer_.Shown()) {
    window_.HideProgress();
  }
  pacer_.Start(0);
}

}  // namespace lister
