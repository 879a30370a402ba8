#include "lister/qt/listing_progress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QProgressDialog>
#include <algorithm>
#include <limits>

#include "lister/desktop/window_layout.h"
#include "lister/qt/visible_text.h"
#include "lister/qt/window_placement.h"

namespace lister::window {

namespace {

// A progress dialog that only the end of the listing closes.
class ProgressBox : public QProgressDialog {
 public:
  using QProgressDialog::QProgressDialog;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) {
      event->accept();
      return;
    }
    QProgressDialog::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
  void showEvent(QShowEvent* event) override {
    // The dialog settles its size while being shown; only then can it be centred.
    QProgressDialog::showEvent(event);
    CentreOnScreen(*this);
  }
};

// Progress bars count in int; larger tables are shown in proportion.
int BarValue(std::int64_t rows, std::int64_t total) {
  constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
  return static_cast<int>(total <= kLimit ? rows : rows * kLimit / total);
}

}  // namespace

ListingProgress::ListingProgress(QWidget* parent, const QString& archiveName,
                                 std::int64_t totalRows)
    : totalRows_(totalRows),
      dialog_(std::make_unique<ProgressBox>(
          parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)) {
  dialog_->setObjectName("ListingProgress");
  dialog_->setWindowTitle(FixedText(kProductName));
  dialog_->setLabelText(FixedText(kListingProgressPrefix) + archiveName);
  dialog_->setCancelButton(nullptr);
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setRange(0, BarValue(totalRows_, totalRows_));
  if (auto* bar = dialog_->findChild<QProgressBar*>()) {
    bar->setFormat(totalRows_ == BarValue(totalRows_, totalRows_) ? QStringLiteral("%v of %m")
                                                                  : QStringLiteral("%p%"));
  }
  // Wide enough for a bar beside "999999 of 1000000".
  dialog_->setMinimumWidth(360);
  dialog_->show();
}

ListingProgress::~ListingProgress() = default;

void ListingProgress::Update(std::int64_t rowsDone) {
  dialog_->setValue(BarValue(std::min(rowsDone, totalRows_), totalRows_));
  QCoreApplication::processEvents();
}

}  // namespace lister::window
