#include "lister/qt/listing_progress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <limits>

#include "lister/desktop/window_layout.h"
#include "lister/qt/visible_text.h"
#include "lister/qt/window_font.h"
#include "lister/qt/window_placement.h"

namespace lister::window {

namespace {

// Wide enough for a bar beside "999999 of 1000000" and a Cancel button below.
constexpr int kProgressWidth = 360;
constexpr auto kCancelCaption = std::string_view("Cancel");

// A progress dialog whose Cancel, Esc and close request only ask the listing to stop: the
// listing's end closes it.
class ProgressBox : public QProgressDialog {
 public:
  ProgressBox(QWidget* parent, std::function<void()> cancel)
      : QProgressDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                    Qt::WindowCloseButtonHint),
        cancel_(std::move(cancel)) {}

  void Cancel() { cancel_(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      event->accept();
      Cancel();
      return;
    }
    QProgressDialog::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    Cancel();
  }
  void showEvent(QShowEvent* event) override {
    // The dialog settles its size while being shown; only then can it be centred.
    QProgressDialog::showEvent(event);
    FitOnScreen(*this);
  }

 private:
  std::function<void()> cancel_;
};

// Progress bars count in int; larger tables are shown in proportion.
int BarValue(std::int64_t rows, std::int64_t total) {
  constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
  return static_cast<int>(total <= kLimit ? rows : rows * kLimit / total);
}

}  // namespace

ListingProgress::ListingProgress(QWidget* parent, const QString& archiveName,
                                 std::int64_t totalRows, std::function<void()> cancel)
    : totalRows_(totalRows) {
  auto* box = new ProgressBox(parent, std::move(cancel));
  dialog_.reset(box);
  box->setObjectName("ListingProgress");
  box->setFont(WindowFont());
  box->setWindowTitle(FixedText(kProductName));
  auto* label = new QLabel(box);
  label->setObjectName("ProgressLabel");
  label->setTextFormat(Qt::PlainText);
  box->setLabel(label);
  // QProgressDialog would hide itself on a cancel; the session hides it at the listing's end.
  auto* button = new QPushButton(FixedText(kCancelCaption), box);
  button->setObjectName("CancelButton");
  box->setCancelButton(button);
  // The dialog's default button and this one each left an Esc shortcut, and two shortcuts for
  // one key take the key and do nothing; Esc reaches keyPressEvent instead.
  qDeleteAll(box->findChildren<QShortcut*>());
  QObject::disconnect(box, &QProgressDialog::canceled, box, &QProgressDialog::cancel);
  QObject::connect(box, &QProgressDialog::canceled, box, [box] { box->Cancel(); });
  box->setAutoClose(false);
  box->setAutoReset(false);
  box->setRange(0, BarValue(totalRows_, totalRows_));
  if (auto* bar = box->findChild<QProgressBar*>()) {
    bar->setFormat(totalRows_ == BarValue(totalRows_, totalRows_) ? QStringLiteral("%v of %m")
                                                                  : QStringLiteral("%p%"));
  }
  const QString prefix = FixedText(kListingProgressPrefix);
  // A long name is shortened in its middle, so that the dialog keeps its size.
  const int room = kProgressWidth - 2 * label->fontMetrics().averageCharWidth() -
                   label->fontMetrics().horizontalAdvance(prefix);
  box->setLabelText(prefix + label->fontMetrics().elidedText(archiveName, Qt::ElideMiddle, room));
  box->setFixedSize(kProgressWidth, box->sizeHint().height());
  box->show();
}

ListingProgress::~ListingProgress() = default;

void ListingProgress::Update(std::int64_t rowsDone) {
  dialog_->setValue(BarValue(std::min(rowsDone, totalRows_), totalRows_));
  QCoreApplication::processEvents();
}

}  // namespace lister::window
