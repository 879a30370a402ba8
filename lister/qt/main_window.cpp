#include "lister/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>

#include "lister/core/display_text.h"
#include "lister/desktop/row_copy.h"
#include "lister/qt/about.h"
#include "lister/qt/archive_open_dialog.h"
#include "lister/qt/error_box.h"
#include "lister/qt/grid_painting.h"
#include "lister/qt/line_label.h"
#include "lister/qt/listing_progress.h"
#include "lister/qt/program_icon.h"
#include "lister/qt/record_grid.h"
#include "lister/qt/record_table_model.h"
#include "lister/qt/visible_text.h"
#include "lister/qt/window_font.h"
#include "lister/qt/window_placement.h"

namespace lister::window {

namespace {

QRect Rect(const Box& box) {
  return {box.left, box.top, box.width, box.height};
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace

MainWindow::MainWindow(archive::ArchiveReader& reader, DialogRunner runDialog, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      session_(reader, *this),
      runDialog_(std::move(runDialog)),
      model_(new RecordTableModel(session_.Rows(), this)) {
  setObjectName("TForm1");
  setWindowTitle(FixedText(kProductName));
  setWindowIcon(ProgramIconPixmap());
  setFont(WindowFont());
  setAcceptDrops(true);

  BuildMenu();
  auto* client = Named(new QWidget(this), "ClientArea");
  // Sizes are Qt's device-independent pixels: the layout follows no font or resolution setting.
  client->setFixedSize(kClientWidth, kClientHeight);
  BuildGroupBox(client);
  BuildGrid(client);
  setCentralWidget(client);
  // The window takes the size of the menu bar and the client area, and keeps it.
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  openDialog_ = new ArchiveOpenDialog(session_, runDialog_, this);
  // Tab goes from the grid to the checked radio button and back: Tab passes over the other.
  setTabOrder(inKbButton_, inBytesButton_);
  recordGrid_->setFocus();
  qApp->installEventFilter(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenu() {
  menuBar_ = Named(new QMenuBar(this), "MainMenu1");
  fileMenu_ = Named(menuBar_->addMenu(QStringLiteral("&File")), "File1");
  openAction_ = Named(fileMenu_->addAction(QStringLiteral("&Open...")), "Open1");
  helpMenu_ = Named(menuBar_->addMenu(QStringLiteral("&Help")), "Help1");
  aboutAction_ = Named(helpMenu_->addAction(QStringLiteral("&About...")), "e1");
  connect(openAction_, &QAction::triggered, this, &MainWindow::OnOpen);
  connect(aboutAction_, &QAction::triggered, this, &MainWindow::OnAbout);
  setMenuBar(menuBar_);
}

void MainWindow::BuildGroupBox(QWidget* client) {
  headerGroup_ = Named(new QGroupBox(FixedText(kHeaderGroupCaption), client), "GroupBox1");
  headerGroup_->setGeometry(Rect(kHeaderGroup));

  summaryNames_ = Named(new LineLabel(headerGroup_), "Label1");
  summaryNames_->move(Rect(kSummaryNamesAt).topLeft());
  summaryValues_ = Named(new LineLabel(headerGroup_), "Label2");
  QFont bold = summaryValues_->font();
  bold.setBold(true);
  summaryValues_->setFont(bold);
  summaryValues_->move(Rect(kSummaryValuesAt).topLeft());

  inBytesButton_ =
      Named(new QRadioButton(FixedText(kInBytesCaption), headerGroup_), "RadioButton2");
  inBytesButton_->setGeometry(Rect(kInBytesButton));
  inKbButton_ = Named(new QRadioButton(FixedText(kInKBCaption), headerGroup_), "RadioButton1");
  inKbButton_->setGeometry(Rect(kInKBButton));
  inKbButton_->setChecked(true);
  // toggled(true) comes once, when a button becomes the checked one.
  connect(inKbButton_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      OnUnitChosen(true);
    }
  });
  connect(inBytesButton_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      OnUnitChosen(false);
    }
  });
}

void MainWindow::BuildGrid(QWidget* client) {
  recordGrid_ = Named(new RecordGrid(client), "StringGrid1");
  recordGrid_->setAccessibleName(FixedText(kRecordGridName));
  recordGrid_->setGeometry(Rect(kRecordGrid));
  // The style draws the grid lines in the palette's mid colour; a desktop's palette may make them
  // too faint to see, so the grid keeps its own.
  QPalette colours = recordGrid_->palette();
  colours.setColor(QPalette::Mid, kGridLineQColour);
  recordGrid_->setPalette(colours);
  recordGrid_->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  recordGrid_->setModel(model_);
  recordGrid_->setItemDelegate(new GridCellDelegate(recordGrid_));
  auto* header = Named(new GridHeaderView(recordGrid_), "FixedRow");
  recordGrid_->setHorizontalHeader(header);
  // A new header neither moves, sorts, highlights nor stretches sections; Fixed keeps the user
  // from sizing them.
  header->setSectionResizeMode(QHeaderView::Fixed);
  header->setMinimumSectionSize(1);
  header->setFixedHeight(kGridRowHeight);
  int column = 0;
  for (const int width : kColumnWidths) {
    header->resizeSection(column++, width);
  }
  QHeaderView* rows = recordGrid_->verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(kGridRowHeight);
  recordGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  recordGrid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  recordGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  recordGrid_->setTabKeyNavigation(false);
  recordGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  recordGrid_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  connect(recordGrid_, &RecordGrid::CopyRequested, this, &MainWindow::OnCopyRows);
}

void MainWindow::PlaceFixedTexts() {
  std::array<QString, kColumnCount> texts;
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    texts[i] = FixedText(kHeaderTexts[i]);
  }
  model_->SetHeaderTexts(texts);
  QStringList names;
  for (const std::string_view name : kFieldNames) {
    names.append(FixedText(name));
  }
  summaryNames_->SetLines(names);
  summaryValues_->SetCaptions(names);
}

std::int64_t MainWindow::CurrentGridRow() const {
  const QItemSelectionModel* selection = recordGrid_->selectionModel();
  const QModelIndex current = selection->currentIndex();
  if (!current.isValid()) {
    return 0;
  }
  // In a selection of several rows the current row is where the selection started, the end
  // that the keyboard or the mouse did not move.
  const QModelIndexList selected = selection->selectedRows();
  int top = current.row();
  int bottom = current.row();
  for (const QModelIndex& index : selected) {
    top = std::min(top, index.row());
    bottom = std::max(bottom, index.row());
  }
  const int start = current.row() == bottom ? top : bottom;
  return static_cast<std::int64_t>(start) + 1;
}

void MainWindow::PlaceCurrentRow(const CurrentRow& choice) {
  QItemSelectionModel* selection = recordGrid_->selectionModel();
  if (choice.row <= 0) {
    selection->clear();
    return;
  }
  // Lay the new rows out now, so that the scroll range already fits the new table. A new table
  // keeps the scroll position, so a kept row that is still in view does not move.
  recordGrid_->doItemsLayout();
  if (choice.fromTop) {
    recordGrid_->scrollToTop();
  }
  const QModelIndex index = model_->index(static_cast<int>(choice.row - 1), 0);
  selection->setCurrentIndex(index,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  recordGrid_->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void MainWindow::ResetTable(const std::function<void()>& resize) {
  model_->ResetRows(resize);
}

void MainWindow::ShowFilledRows() {
  model_->PublishFilledRows();
}

void MainWindow::ShowProgress(const std::string& archiveName, std::int64_t totalRows) {
  progress_ = std::make_unique<ListingProgress>(this, PathText(archiveName), totalRows,
                                                [this] { session_.CancelListing(); });
}

void MainWindow::UpdateProgress(std::int64_t rowsDone) {
  progress_->Update(rowsDone);
}

void MainWindow::HideProgress() {
  progress_.reset();
}

void MainWindow::SetCaption(const std::string& caption) {
  setWindowTitle(PathText(caption));
}

void MainWindow::SetSummary(const Summary& summary) {
  QStringList lines;
  for (const std::string& line : SummaryLinesUtf8(summary)) {
    lines.append(DisplayText(line));
  }
  summaryValues_->SetLines(lines);
}

void MainWindow::ShowError(const std::string& message) {
  ErrorBox box(PathText(message), this);
  runDialog_(box);
}

void MainWindow::OnOpen() {
  std::optional<QString> path;
  {
    const ListingSession::ModalScope modal(session_);
    path = openDialog_->Execute(this);
  }
  if (path) {
    session_.ListChosenPath(PathBytes(*path));
  }
}

void MainWindow::OnAbout() {
  // A fresh box each time, gone when it closes, also when showing it throws.
  AboutBox box(this);
  const ListingSession::ModalScope modal(session_);
  runDialog_(box);
}

void MainWindow::OnUnitChosen(bool inKb) {
  session_.SetShowInKB(inKb);
}

void MainWindow::OnCopyRows() {
  const QModelIndexList selected = recordGrid_->selectionModel()->selectedRows();
  if (selected.isEmpty()) {
    return;
  }
  // The selection is one range of rows.
  int first = selected.front().row();
  int last = first;
  for (const QModelIndex& index : selected) {
    first = std::min(first, index.row());
    last = std::max(last, index.row());
  }
  const std::string text = CopiedRowsText(session_.Rows(), first, last + 1, RunText::kShort, "\n");
  QGuiApplication::clipboard()->setText(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

namespace {

// What the user does with the mouse, the keyboard and drags.
bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

}  // namespace

// The one gate of the window while a listing runs: the progress dialog lets events through, and
// none of the user's input may start another listing or switch the unit meanwhile. Esc and any
// other close request stop the listing and are carried out at its end. The window is not
// disabled, so it keeps its look.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) {
    return QMainWindow::eventFilter(watched, event);
  }
  // Esc in the menu bar's keyboard mode only leaves that mode, as Esc in an open menu (a window
  // of its own) only closes the menu.
  if (event->type() == QEvent::KeyPress && qobject_cast<QMenuBar*>(watched) == nullptr &&
      CloseOnEsc(static_cast<QKeyEvent*>(event))) {
    return true;
  }
  if (session_.Busy() && IsUserInput(event->type())) {
    return true;
  }
  if (event->type() == QEvent::KeyPress && OpenMenuOnF10(static_cast<QKeyEvent*>(event))) {
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::CloseOnEsc(QKeyEvent* event) {
  const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  if (event->key() != Qt::Key_Escape || (event->modifiers() & chords)) {
    return false;
  }
  close();
  return true;
}

bool MainWindow::OpenMenuOnF10(QKeyEvent* event) {
  // Shift+F10 stays the context menu key.
  if (event->key() != Qt::Key_F10 || event->modifiers() != Qt::NoModifier) {
    return false;
  }
  menuBar_->setActiveAction(fileMenu_->menuAction());
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!session_.RequestClose()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!centred_) {
    centred_ = true;
    CentreOnScreen(*this);
  }
}

namespace {

QString DroppedPath(const QMimeData* data) {
  if (data == nullptr) {
    return {};
  }
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) {
      return url.toLocalFile();
    }
  }
  return {};
}

}  // namespace

// The session decides whether the drop is taken and how.
bool MainWindow::AcceptDrop(QDropEvent* event) const {
  const Qt::DropActions offered = event->possibleActions();
  const DropAnswer answer =
      session_.AnswerDrop(offered.testFlag(Qt::CopyAction), offered.testFlag(Qt::LinkAction),
                          static_cast<std::size_t>(DroppedPath(event->mimeData()).toUcs4().size()));
  if (answer == DropAnswer::kRefuse) {
    return false;
  }
  event->setDropAction(answer == DropAnswer::kCopy ? Qt::CopyAction : Qt::LinkAction);
  event->accept();
  return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  AcceptDrop(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  AcceptDrop(event);
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (!AcceptDrop(event)) {
    return;
  }
  const QString path = DroppedPath(event->mimeData());
  // The drag ends first: the listing may show a modal box, which must not hold up the source.
  QMetaObject::invokeMethod(
      this, [this, path] { session_.ListDroppedPath(PathBytes(path)); }, Qt::QueuedConnection);
}

}  // namespace lister::window
