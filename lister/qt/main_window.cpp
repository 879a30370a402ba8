#include "lister/qt/main_window.h"

#include <QAction>
#include <QApplication>
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

TForm1::TForm1(archive::ArchiveReader& reader, DialogRunner runDialog, QWidget* parent)
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

  OpenDialog1 = new ArchiveOpenDialog(session_, runDialog_, this);
  // Tab goes from the grid to the checked radio button and back: Tab passes over the other.
  setTabOrder(RadioButton1, RadioButton2);
  StringGrid1->setFocus();
  qApp->installEventFilter(this);
}

TForm1::~TForm1() = default;

void TForm1::BuildMenu() {
  MainMenu1 = Named(new QMenuBar(this), "MainMenu1");
  File1 = Named(MainMenu1->addMenu(QStringLiteral("&File")), "File1");
  Open1 = Named(File1->addAction(QStringLiteral("&Open...")), "Open1");
  Help1 = Named(MainMenu1->addMenu(QStringLiteral("&Help")), "Help1");
  e1 = Named(Help1->addAction(QStringLiteral("&About...")), "e1");
  connect(Open1, &QAction::triggered, this, &TForm1::Open1Click);
  connect(e1, &QAction::triggered, this, &TForm1::e1Click);
  setMenuBar(MainMenu1);
}

void TForm1::BuildGroupBox(QWidget* client) {
  GroupBox1 = Named(new QGroupBox(FixedText(kHeaderGroupCaption), client), "GroupBox1");
  GroupBox1->setGeometry(Rect(kHeaderGroup));

  Label1 = Named(new LineLabel(GroupBox1), "Label1");
  Label1->move(Rect(kSummaryNamesAt).topLeft());
  Label2 = Named(new LineLabel(GroupBox1), "Label2");
  QFont bold = Label2->font();
  bold.setBold(true);
  Label2->setFont(bold);
  Label2->move(Rect(kSummaryValuesAt).topLeft());

  RadioButton2 = Named(new QRadioButton(FixedText(kInBytesCaption), GroupBox1), "RadioButton2");
  RadioButton2->setGeometry(Rect(kInBytesButton));
  RadioButton1 = Named(new QRadioButton(FixedText(kInKBCaption), GroupBox1), "RadioButton1");
  RadioButton1->setGeometry(Rect(kInKBButton));
  RadioButton1->setChecked(true);
  // toggled(true) comes once, when a button becomes the checked one.
  connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      RadioButton1Click();
    }
  });
  connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      RadioButton2Click();
    }
  });
}

void TForm1::BuildGrid(QWidget* client) {
  StringGrid1 = Named(new RecordGrid(client), "StringGrid1");
  StringGrid1->setGeometry(Rect(kRecordGrid));
  StringGrid1->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  StringGrid1->setModel(model_);
  StringGrid1->setItemDelegate(new GridCellDelegate(StringGrid1));
  auto* header = Named(new GridHeaderView(StringGrid1), "FixedRow");
  StringGrid1->setHorizontalHeader(header);
  // A new header neither moves, sorts, highlights nor stretches sections; Fixed keeps the user
  // from sizing them.
  header->setSectionResizeMode(QHeaderView::Fixed);
  header->setMinimumSectionSize(1);
  header->setFixedHeight(kGridRowHeight);
  int column = 0;
  for (const int width : kColumnWidths) {
    header->resizeSection(column++, width);
  }
  QHeaderView* rows = StringGrid1->verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(kGridRowHeight);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setTabKeyNavigation(false);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void TForm1::PlaceFixedTexts() {
  std::array<QString, kColumnCount> texts;
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    texts[i] = FixedText(kHeaderTexts[i]);
  }
  model_->SetHeaderTexts(texts);
  QStringList names;
  for (const std::string_view name : kFieldNames) {
    names.append(FixedText(name));
  }
  Label1->SetLines(names);
}

std::int64_t TForm1::CurrentGridRow() const {
  const QItemSelectionModel* selection = StringGrid1->selectionModel();
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

void TForm1::PlaceCurrentRow(const CurrentRow& choice) {
  QItemSelectionModel* selection = StringGrid1->selectionModel();
  if (choice.row <= 0) {
    selection->clear();
    return;
  }
  // Lay the new rows out now, so that the scroll range already fits the new table. A new table
  // keeps the scroll position, so a kept row that is still in view does not move.
  StringGrid1->doItemsLayout();
  if (choice.fromTop) {
    StringGrid1->scrollToTop();
  }
  const QModelIndex index = model_->index(static_cast<int>(choice.row - 1), 0);
  selection->setCurrentIndex(index,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  StringGrid1->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void TForm1::ResetTable(const std::function<void()>& resize) {
  model_->ResetRows(resize);
}

void TForm1::ShowFilledRows() {
  model_->PublishFilledRows();
}

void TForm1::ShowProgress(const std::string& archiveName, std::int64_t totalRows) {
  progress_ = std::make_unique<ListingProgress>(this, PathText(archiveName), totalRows);
}

void TForm1::UpdateProgress(std::int64_t rowsDone) {
  progress_->Update(rowsDone);
}

void TForm1::HideProgress() {
  progress_.reset();
}

void TForm1::SetCaption(const std::string& caption) {
  setWindowTitle(PathText(caption));
}

void TForm1::SetSummary(const Summary& summary) {
  QStringList lines;
  for (const std::string& line : SummaryLinesUtf8(summary)) {
    lines.append(DisplayText(line));
  }
  Label2->SetLines(lines);
}

void TForm1::ShowError(const std::string& message) {
  ErrorBox box(PathText(message), this);
  runDialog_(box);
}

void TForm1::Open1Click() {
  std::optional<QString> path;
  {
    const ListingSession::ModalScope modal(session_);
    path = OpenDialog1->Execute(this);
  }
  if (path) {
    session_.ListChosenPath(PathBytes(*path));
  }
}

void TForm1::e1Click() {
  // A fresh box each time, gone when it closes, also when showing it throws.
  TAboutBox box(this);
  const ListingSession::ModalScope modal(session_);
  runDialog_(box);
}

void TForm1::RadioButton1Click() {
  session_.SetShowInKB(true);
}

void TForm1::RadioButton2Click() {
  session_.SetShowInKB(false);
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
// other close request are remembered and carried out when the listing ends. The window is not
// disabled, so it keeps its look.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) {
    return QMainWindow::eventFilter(watched, event);
  }
  // Esc in the menu bar's keyboard mode only leaves that mode, as Esc in an open menu (a window
  // of its own) only closes the menu.
  if (event->type() == QEvent::KeyPress && qobject_cast<QMenuBar*>(watched) == nullptr &&
      FormKeyPress(static_cast<QKeyEvent*>(event))) {
    return true;
  }
  if (session_.Busy() && IsUserInput(event->type())) {
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TForm1::FormKeyPress(QKeyEvent* event) {
  const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  if (event->key() != Qt::Key_Escape || (event->modifiers() & chords)) {
    return false;
  }
  close();
  return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!session_.RequestClose()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TForm1::showEvent(QShowEvent* event) {
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
bool TForm1::AcceptDrop(QDropEvent* event) const {
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

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  AcceptDrop(event);
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  AcceptDrop(event);
}

void TForm1::dropEvent(QDropEvent* event) {
  if (!AcceptDrop(event)) {
    return;
  }
  const QString path = DroppedPath(event->mimeData());
  // The drag ends first: the listing may show a modal box, which must not hold up the source.
  QMetaObject::invokeMethod(
      this, [this, path] { session_.ListDroppedPath(PathBytes(path)); }, Qt::QueuedConnection);
}

}  // namespace lister::window
