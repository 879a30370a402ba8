// The Trovanta window on the offscreen platform, as the user meets it: start-up, layout, the
// commands, the current row, a long listing, the record table, the modal boxes (run with
// QDialog::exec and answered as a user would) and the open dialog.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <ostream>

#include "lister/qt/about.h"
#include "lister/qt/error_box.h"
#include "lister/qt/line_label.h"
#include "lister/qt/record_table_model.h"
#include "lister/qt/start_up.h"
#include "lister/qt/window_font.h"
#include "tests/support/temp_dir.h"

void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace lister::window {
namespace {

// The descendant of `root` with that object name.
template <typename T = QWidget>
T& Child(const QObject& root, const char* name) {
  T* child = root.findChild<T*>(QString::fromLatin1(name));
  return child != nullptr ? *child : throw std::runtime_error(name);
}

// How far the window's frame lies from the centre of the screen, in pixels.
int OffCentre(const QWidget& window) {
  return (window.frameGeometry().center() - window.screen()->availableGeometry().center())
      .manhattanLength();
}

// Whether some pixel of `area` (in device-independent pixels) differs from `paper`.
bool Inked(const QImage& image, const QRect& area, const QColor& paper) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(QPoint(x, y) * image.devicePixelRatio()) != paper) {
        return true;
      }
    }
  }
  return false;
}

// Runs `answer` on the modal dialog that the next event loop shows.
void AnswerModal(std::function<void(QDialog&)> answer) {
  QTimer::singleShot(0, [answer] { answer(*qobject_cast<QDialog*>(qApp->activeModalWidget())); });
}

class WindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<MainWindow> Start(const std::vector<std::string>& args) {
    return PrepareMainWindow(reader_, args, [this](QDialog& dialog) {
      if (auto* box = qobject_cast<ErrorBox*>(&dialog)) {
        errors_.append(box->text());
        errorsWhileShown_ += box->parentWidget()->isVisible() ? 1 : 0;
      }
      auto* open = qobject_cast<QFileDialog*>(&dialog);
      return open != nullptr ? (++openDialogs_, answerOpen_(*open)) : QDialog::Accepted;
    });
  }
  // Starts on an archive titled "Mixed" of `records`, written as `name`.
  std::unique_ptr<MainWindow> Start(const char* name,
                                    const std::vector<archive::RecordSpec>& records) {
    return Start({dir_.Write(name, archive::BuildArchive("Mixed", 2, records))});
  }
  // Lists `path` as if the user chose it in the open dialog.
  void Open(MainWindow& form, const std::string& path) {
    answerOpen_ = [path](QFileDialog& dialog) {
      dialog.selectFile(QString::fromStdString(path));
      return static_cast<int>(QDialog::Accepted);
    };
    Child<QAction>(form, "Open1").trigger();
  }
  static QStringList Summary(const MainWindow& form) {
    return Child<LineLabel>(form, "Label2").Lines();
  }
  static QTableView& Grid(const MainWindow& form) { return Child<QTableView>(form, "StringGrid1"); }
  static int Rows(const MainWindow& form) { return Grid(form).model()->rowCount(); }
  static QString Cell(const MainWindow& form, int row, int column) {
    return Grid(form).model()->index(row, column).data().toString();
  }

  archive::ArchiveReader reader_;
  testing_support::TempDir dir_;
  std::function<int(QFileDialog&)> answerOpen_ = [](QFileDialog&) { return 0; };
  QStringList errors_;
  int errorsWhileShown_ = 0;
  int openDialogs_ = 0;
};

// Drags `url` onto the window offering `actions` and drops it there; the action the window took,
// IgnoreAction when it refused the drag or the drop.
Qt::DropAction Drop(MainWindow& form, const QUrl& url,
                    Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
  QMimeData data;
  data.setUrls({QUrl("https://example.invalid/x.spr"), url});
  QDragEnterEvent enter({9, 9}, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QDragMoveEvent move({19, 9}, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QDropEvent drop({19, 9}, actions, &data, Qt::LeftButton, Qt::NoModifier);
  for (QDropEvent* event :
       {static_cast<QDropEvent*>(&enter), static_cast<QDropEvent*>(&move), &drop}) {
    event->setDropAction(Qt::MoveAction);
    event->setAccepted(false);
    QApplication::sendEvent(&form, event);
  }
  const bool taken = enter.isAccepted() && move.isAccepted() && drop.isAccepted() &&
                     move.dropAction() == drop.dropAction();
  return taken ? drop.dropAction() : Qt::IgnoreAction;
}

TEST_F(WindowTest, StartsUpListingTheFirstArgumentBeforeTheWindowShows) {
  const std::string good = dir_.WriteNumbered("good.spr", 3);
  const std::string bad = dir_.WriteText("bad.spr", "not an archive at all");
  const QString fail = "0|Trovanta|Not an archive file";
  const std::pair<std::vector<std::string>, QString> cases[] = {
      {{}, "No file specified.|" + fail},
      {{good, bad, "-x"}, "|3|Trovanta (good.spr)|Numbered|1|3|1 KB |1 KB (not compressed)"},
      {{bad}, "BAD.SPR is not a valid archive file.|" + fail},
      {{dir_.File("gone.spr")}, "This file does not exist.|" + fail},
  };
  for (const auto& [args, shown] : cases) {
    errors_.clear();
    const std::unique_ptr<MainWindow> form = Start(args);
    EXPECT_EQ(QStringList({errors_.join(""), QString::number(Rows(*form)), form->windowTitle()}) +
                  Summary(*form),
              shown.split('|'));
    EXPECT_EQ(form->CurrentGridRow(), std::min(Rows(*form), 1));
  }
  EXPECT_EQ(errorsWhileShown_, 0);
}

TEST(StartUpTest, QtSeesOnlyTheProgramNameAndTheApplicationIsNamed) {
  std::string words[] = {"Trovanta", "-reverse", "-style", "x"};
  char* argv[] = {words[0].data(), words[1].data(), words[2].data(), words[3].data()};
  ProgramArguments arguments(4, argv);
  EXPECT_EQ(arguments.Args(), (std::vector<std::string>{"-reverse", "-style", "x"}));
  EXPECT_EQ(arguments.QtArgc(), 1);
  EXPECT_STREQ(arguments.QtArgv()[0], "Trovanta");
  EXPECT_EQ(arguments.QtArgv()[1], nullptr);
  EXPECT_EQ(QStringList({QApplication::applicationName(), QGuiApplication::desktopFileName()}),
            QStringList({"Trovanta", "org.gorblunk.Trovanta"}));
  EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));
  // X11 gives the window the application's name as its class; the desktop entry names it so
  // that the task bar groups the window under the entry.
  QFile entry(
      QFileInfo(__FILE__).dir().filePath("../../../lister/qt/org.gorblunk.Trovanta.desktop"));
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
  EXPECT_TRUE(QString::fromUtf8(entry.readAll())
                  .split('\n')
                  .contains("StartupWMClass=" + QApplication::applicationName()));
}

TEST_F(WindowTest, PlacesEveryItemWhereTheLayoutSays) {
  const std::unique_ptr<MainWindow> form = Start({dir_.WriteNumbered("a.spr", 30)});
  form->layout()->activate();
  const QTableView& grid = Grid(*form);
  const auto at = [&](const char* name) { return Child(*form, name).geometry(); };
  const QWidget &label1 = Child(*form, "Label1"), &label2 = Child(*form, "Label2");
  const std::pair<QRect, QRect> places[] = {
      {QRect({}, form->centralWidget()->size()), {0, 0, 473, 295}},
      {at("GroupBox1"), {8, 0, 457, 105}},
      {QRect(label1.pos(), QSize(0, label1.height())), {8, 24, 0, 5 * 13}},
      {QRect(label2.pos(), QSize(0, label2.height())), {144, 24, 0, 5 * 13}},
      {at("RadioButton2"), {384, 56, 57, 17}},
      {at("RadioButton1"), {384, 80, 57, 17}},
      {at("StringGrid1"), {8, 112, 457, 174}},
      // The cells start inside the frame, with no row header beside them.
      {QRect(grid.viewport()->pos(), QSize()), QRect(2, 2 + 18, -1, -1)},
      {QRect(0, grid.rowViewportPosition(1), 0, grid.rowHeight(29)), {0, 18, 0, 18}},
  };
  for (const auto& [actual, expected] : places) {
    EXPECT_EQ(actual, expected);
  }
  QStringList texts = {Child<QGroupBox>(*form, "GroupBox1").title(),
                       Child<QRadioButton>(*form, "RadioButton1").text(),
                       Child<QRadioButton>(*form, "RadioButton2").text(),
                       Child<QMenu>(*form, "File1").title() + Child<QAction>(*form, "Open1").text(),
                       Child<QMenu>(*form, "Help1").title() + Child<QAction>(*form, "e1").text(),
                       form->font().families().value(0)};
  // The header's cells side by side, each as high as a row, and their texts.
  const int widths[] = {52, 111, 52, 72, 72, 72};
  for (int c = 0, left = 0; c < 6; left += widths[c++]) {
    EXPECT_EQ(QRect(grid.columnViewportPosition(c), 0, grid.columnWidth(c),
                    grid.horizontalHeader()->height()),
              QRect(left, 0, widths[c], 18))
        << c;
    texts.append(grid.model()->headerData(c, Qt::Horizontal).toString());
  }
  EXPECT_EQ(texts.join('|') + Child<LineLabel>(*form, "Label1").Lines().join('|'),
            "Archive header|in KB|in bytes|&File&Open...|&Help&About...|MS Sans Serif|Number|"
            "Record name|Comp.|Comp. Size|Uncomp. Size|Comp. ratioArchive title:|Version number:|"
            "Total number of records:|Total uncompressed length:|Total compressed length:");
  // Whatever font stands in, the longest field name stays 6 pixels clear of the values.
  EXPECT_LE(
      at("Label1").x() + QFontMetrics(form->font()).horizontalAdvance("Total uncompressed length:"),
      at("Label2").x() - 6);
  EXPECT_TRUE(label2.font().bold() && !label1.font().bold());
  EXPECT_NE(form->findChild<QObject*>("OpenDialog1"), nullptr);
  EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "not resizable";
  EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)));
  form->show();
  EXPECT_LE(OffCentre(*form), 2) << "centred on the screen";
  QApplication::setActiveWindow(form.get());
  QStringList tabs = {QApplication::focusWidget()->objectName()};  // and on with Tab
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    tabs.append(QApplication::focusWidget()->objectName());
  }
  EXPECT_EQ(tabs.join('|'), "StringGrid1|RadioButton1|StringGrid1|RadioButton1");
}

TEST_F(WindowTest, LabelsShowEachLineLiterallyAndSizeToTheirText) {
  LineLabel label;
  label.SetLines({"Tom & Jerry", "A\nB\rC", QString("A") + QChar(0) + "\x7F", "mid"});
  EXPECT_EQ(label.Lines(), (QStringList{"Tom & Jerry", "A\u240AB\u240DC", "A\u2400\u2421", "mid"}));
  for (const int pixels : {11, 20}) {  // and follow a change of font
    label.setFont(WindowFont(pixels));
    EXPECT_EQ(label.size(), QSize(label.fontMetrics().horizontalAdvance("Tom & Jerry"), 4 * 13));
  }
  const QImage image = label.grab().toImage();
  for (int line = 0; line < 4; ++line) {  // each line drawn in its own 13 pixels
    EXPECT_TRUE(Inked(image, {0, line * 13, 20, 13}, label.palette().color(QPalette::Window)))
        << line;
  }
}

TEST_F(WindowTest, CommandsListAndSwitchUnits) {
  const std::unique_ptr<MainWindow> form =
      Start("mixed.spr", {{"PLAIN", 0, 5000}, {"PACKED", 1, 3000, 10000}});
  const QStringList inKB = {"Mixed", "2", "2", "15 KB ", "8 KB (46.7% gained)"};
  Child<QRadioButton>(*form, "RadioButton2").click();
  EXPECT_EQ(Summary(*form).mid(3), (QStringList{"15000 bytes ", "8000 bytes (46.7% gained)"}));
  EXPECT_EQ(Cell(*form, 1, 4), "10000") << "the table stays in bytes";
  Child<QRadioButton>(*form, "RadioButton1").click();
  Grid(*form).selectRow(1);
  Child<QAction>(*form, "Open1").trigger();  // cancelled
  EXPECT_EQ(Summary(*form), inKB);
  EXPECT_EQ(form->CurrentGridRow(), 2);
  Open(*form, dir_.File("typed.spr"));
  EXPECT_EQ(errors_, QStringList{"This file does not exist."});
  EXPECT_EQ(Summary(*form), QStringList{"Not an archive file"});
  EXPECT_EQ(form->windowTitle(), "Trovanta (mixed.spr)") << "names the last good listing";

  const QString dropped = QString::fromStdString(dir_.WriteNumbered("dropped.spr", 6));
  EXPECT_FALSE(Drop(*form, QUrl("https://example.invalid/y.spr")));
  EXPECT_EQ(Drop(*form, QUrl::fromLocalFile(dropped), Qt::MoveAction | Qt::LinkAction),
            Qt::LinkAction);
  EXPECT_EQ(Drop(*form, QUrl::fromLocalFile(dropped)), Qt::CopyAction);
  QCoreApplication::processEvents();
  EXPECT_EQ(errors_.size(), 1) << "a refused drop lists nothing";
  EXPECT_EQ(form->windowTitle(), "Trovanta (dropped.spr)");
  EXPECT_EQ(Rows(*form), 6);
}

TEST_F(WindowTest, F10OpensTheMenuAndEscClosesTheWindowWhereverTheFocusIsButInTheMenuBar) {
  for (const auto& [focus, closes] : {std::pair{"StringGrid1", true},
                                      {"RadioButton1", true},
                                      {"ClientArea", true},
                                      {"MainMenu1", false}}) {
    const std::unique_ptr<MainWindow> form = Start({dir_.WriteNumbered("a.spr", 40)});
    form->show();
    QWidget& target = Child(*form, focus);
    for (const auto& [key, chord] : {std::pair{Qt::Key_Down, Qt::NoModifier},
                                     {Qt::Key_Escape, Qt::ControlModifier},
                                     {Qt::Key_Escape, Qt::AltModifier}}) {
      QTest::keyClick(&target, key, chord);
    }
    EXPECT_TRUE(form->isVisible()) << focus << ": other keys go to the control";
    QTest::keyClick(&target, Qt::Key_F10);
    QWidget* const menu = QApplication::activePopupWidget();
    EXPECT_EQ(menu, &Child<QMenu>(*form, "File1")) << focus << ": F10 opens the menu bar";
    if (menu != nullptr) {
      QTest::keyClick(menu, Qt::Key_Escape);
    }
    EXPECT_TRUE(form->isVisible() && QApplication::activePopupWidget() == nullptr) << focus;
    QTest::keyClick(&target, Qt::Key_Escape);
    EXPECT_EQ(form->isVisible(), !closes) << focus;
  }
}

// The session chooses the current row; the grid places it, scrolls and reports it.
TEST_F(WindowTest, PlacesTheCurrentRowTheSessionChooses) {
  const std::string fifty = dir_.WriteNumbered("fifty.spr", 50),
                    forty = dir_.WriteNumbered("forty.spr", 40);
  const std::unique_ptr<MainWindow> form = Start({forty});
  form->show();
  QTableView& grid = Grid(*form);
  const auto select = [&](int row, int end) {  // from `row` to `end` by the keyboard
    grid.selectRow(row - 1);
    for (int i = row; i != end; i += end > row ? 1 : -1) {
      QTest::keyClick(&grid, end > row ? Qt::Key_Down : Qt::Key_Up, Qt::ShiftModifier);
    }
  };
  Open(*form, fifty);
  select(30, 30);
  grid.scrollToTop();
  Open(*form, fifty);
  const QRect shown = grid.visualRect(grid.currentIndex());
  EXPECT_TRUE(grid.viewport()->rect().contains(shown)) << "scrolled into view";
  EXPECT_GT(shown.bottom(), grid.viewport()->height() - 18) << "and no further";
  grid.verticalScrollBar()->setValue(27);
  Open(*form, forty);
  EXPECT_EQ(grid.verticalScrollBar()->value(), 27) << "a row in view needs no scrolling";
  grid.scrollToBottom();
  select(38, 38);
  Open(*form, forty);  // laid out anew at the end of the range
  EXPECT_EQ(grid.rowViewportPosition(grid.rowAt(0)), 0) << "the top row whole at the end";
  EXPECT_EQ(grid.rowViewportPosition(39) + 18, 8 * 18) << "the last row whole, space below";
  select(9, 5);
  EXPECT_EQ(form->CurrentGridRow(), 9) << "where the selection started";
  Open(*form, dir_.WriteNumbered("none.spr", 0));
  EXPECT_TRUE(form->CurrentGridRow() == 0 && !grid.selectionModel()->hasSelection());
}

// One range of rows: Ctrl+click starts a new one; Ctrl+Shift+Home and End extend it to the first
// and last rows; Ctrl+Home and End bring their row into view even when it is current already.
TEST_F(WindowTest, SelectsOneRangeOfRowsAndReachesTheFirstAndLast) {
  const std::unique_ptr<MainWindow> form = Start({dir_.WriteNumbered("a.spr", 40)});
  form->show();
  QTableView& grid = Grid(*form);
  const auto range = [&] {  // the first and last rows selected, their count, the current row
    const QModelIndexList rows = grid.selectionModel()->selectedRows();
    const auto [low, high] = std::minmax_element(
        rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.row() < b.row(); });
    return QString("%1-%2 %3 %4")
        .arg(low->row() + 1)
        .arg(high->row() + 1)
        .arg(rows.size())
        .arg(form->CurrentGridRow());
  };
  const auto inView = [&](int row) {
    return grid.viewport()->rect().contains(grid.visualRect(grid.model()->index(row - 1, 1)));
  };
  grid.selectRow(9);
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ControlModifier,
                    grid.visualRect(grid.model()->index(2, 1)).center());
  EXPECT_EQ(range(), "3-3 1 3");
  QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(range(), "3-40 38 3");
  EXPECT_TRUE(inView(40));
  QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(range(), "1-3 3 3");
  EXPECT_TRUE(inView(1));
  for (const auto& [key, row] : {std::pair{Qt::Key_End, 40}, {Qt::Key_Home, 1}}) {
    QTest::keyClick(&grid, key, Qt::ControlModifier);
    grid.verticalScrollBar()->setValue(row == 1 ? 30 : 0);
    QTest::keyClick(&grid, key, Qt::ControlModifier);  // current already
    EXPECT_EQ(range(), QString("%1-%1 1 %1").arg(row));
    EXPECT_TRUE(inView(row)) << row;
  }
}

// Ctrl+C and Ctrl+Insert copy the selected rows, the header row first.
TEST_F(WindowTest, CopiesTheSelectedRowsAsTabSeparatedText) {
  const std::unique_ptr<MainWindow> form =
      Start("mixed.spr", {{"PLAIN", 0, 5000}, {"PACKED", 1, 3000, 10000}, {"LAST", 0, 1}});
  QTableView& grid = Grid(*form);
  for (const Qt::Key key : {Qt::Key_C, Qt::Key_Insert}) {
    QGuiApplication::clipboard()->clear();
    grid.selectRow(1);
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(&grid, key, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "Number\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\n"
              "0\tPLAIN\tno\t5000\t\t\n1\tPACKED\tlzw\t3000\t10000\t70.0%\n")
        << key;
  }
}

// Screen readers find each summary line with its field name, and the table by its name with its
// header, rows and cells.
TEST_F(WindowTest, ScreenReadersReadTheSummaryAndTheTable) {
  const std::unique_ptr<MainWindow> form = Start({dir_.WriteNumbered("a.spr", 3)});
  QAccessibleInterface* summary = QAccessible::queryAccessibleInterface(&Child(*form, "Label2"));
  ASSERT_NE(summary, nullptr);
  QStringList lines;
  for (int i = 0; i < summary->childCount(); ++i) {
    lines.append(summary->child(i)->text(QAccessible::Name));
    EXPECT_EQ(summary->indexOfChild(summary->child(i)), i);
  }
  EXPECT_EQ(lines, (QStringList{"Archive title: Numbered", "Version number: 1",
                                "Total number of records: 3", "Total uncompressed length: 1 KB ",
                                "Total compressed length: 1 KB (not compressed)"}));
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&Grid(*form));
  QAccessibleTableInterface* cells = table->tableInterface();
  ASSERT_NE(cells, nullptr);
  EXPECT_EQ(QStringList({table->text(QAccessible::Name), QString::number(cells->rowCount()),
                         QString::number(cells->columnCount()), cells->columnDescription(1),
                         cells->cellAt(2, 1)->text(QAccessible::Name)}),
            QStringList({"Records", "3", "6", "Record name", "R2.SPR"}));
}

// The progress dialog lets events through during a long listing; the window meanwhile refuses
// Open, drops and the unit buttons, and shows the field names with blank values. Cancel, Esc or a
// close request in the progress dialog stops the listing; a close request to the window (Esc, the
// close box, Alt+F4) stops it and closes the window.
TEST_F(WindowTest, ALongListingShowsProgressRefusesCommandsAndStopsOnRequest) {
  const std::string big = dir_.WriteNumbered("big.spr", 3000);
  const QUrl other =
      QUrl::fromLocalFile(QString::fromStdString(dir_.WriteNumbered("other.spr", 2)));
  enum Stop { kCancelButton, kEscInProgress, kCloseProgress, kEscInWindow, kCloseWindow };
  for (const Stop stop :
       {kCancelButton, kEscInProgress, kCloseProgress, kEscInWindow, kCloseWindow}) {
    const std::unique_ptr<MainWindow> form = Start({dir_.WriteNumbered("a.spr", 2)});
    form->show();
    form->SetProgressDelay(std::chrono::milliseconds(0));
    const QSignalSpy shown(Grid(*form).model(), &QAbstractItemModel::dataChanged);
    QString during;
    QTimer::singleShot(0, form.get(), [&] {
      auto& progress = Child<QProgressDialog>(*form, "ListingProgress");
      const QProgressBar& bar = *progress.findChild<QProgressBar*>();
      during = QStringList({progress.windowTitle(), Child<QLabel>(progress, "ProgressLabel").text(),
                            bar.format(), QString::number(bar.value()),
                            Child<QPushButton>(progress, "CancelButton").text()})
                   .join('|');
      EXPECT_LE(OffCentre(progress), 2) << "centred on the screen";
      EXPECT_TRUE(progress.minimumSize() == progress.maximumSize() &&
                  progress.font() == form->font())
          << "a fixed size in the window's font";
      EXPECT_EQ(QGuiApplication::modalWindow(), nullptr) << "the close box reaches the window";
      EXPECT_EQ(Summary(*form), QStringList(5, "")) << "no earlier values beside the new rows";
      QTest::mouseClick(&Child(*form, "RadioButton2"), Qt::LeftButton);
      QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
      during += Drop(*form, other) ? " drop" : "";
      switch (stop) {
        case kCancelButton:
          QTest::mouseClick(&Child(progress, "CancelButton"), Qt::LeftButton);
          break;
        case kEscInProgress:  // through the window, as the desktop sends it, past any shortcut
          QApplication::setActiveWindow(&progress);
          QTest::keyClick(progress.windowHandle(), Qt::Key_Escape);
          break;
        case kCloseProgress:
          progress.close();
          break;
        case kEscInWindow:
          QTest::keyClick(&Grid(*form), Qt::Key_Escape);
          break;
        case kCloseWindow:
          form->close();
          break;
      }
    });
    Open(*form, big);
    QCoreApplication::processEvents();
    EXPECT_EQ(during, "Trovanta|Listing big.spr|%v of %m|1|Cancel");
    EXPECT_GT(shown.count(), 1) << "rows shown while the listing runs, not only at its end";
    EXPECT_EQ(form->isVisible(), stop < kEscInWindow) << stop;
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(form->findChildren<QDialog*>().isEmpty()) << "the progress dialog is gone";
    const int rows = Rows(*form);
    ASSERT_LT(rows, 3000) << "stopped before the end";
    EXPECT_EQ(form->windowTitle() + "|" + Cell(*form, rows - 1, 1),
              "Trovanta (big.spr)|" + QString::number(3001 - rows) + " not listed");
    EXPECT_TRUE(errors_.isEmpty());
    Child<QRadioButton>(*form, "RadioButton2").click();
    const int read = rows - 1;  // records of 100, 101, ... bytes
    EXPECT_EQ(Summary(*form).value(3), QString("%1 bytes ").arg(read * 100 + read * (read - 1) / 2))
        << "the totals of the rows read; the unit switches again";
  }
}

// Whether pressing `key` closed the box; closes it if not.
bool ClosedBy(QDialog& box, Qt::Key key) {
  QTest::keyClick(&box, key);
  const bool closed = !box.isVisible();
  box.done(0);
  return closed;
}

// The message stays plain text and is wrapped at half the screen, also inside a long name.
TEST_F(WindowTest, TheErrorBoxShowsWrappedTextAndClosesWithEnterOrEsc) {
  const std::string markup = dir_.WriteText("<i>x&amp;" + std::string(200, 'n') + ".spr", "x");
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space}) {
    MainWindow form(reader_);
    form.SetArchivePath(markup);
    AnswerModal([key](QDialog& modal) {
      auto& box = dynamic_cast<QMessageBox&>(modal);
      const QStringList lines = box.text().split('\n');
      EXPECT_EQ(box.objectName() + "|" + box.windowTitle() + "|" + lines.join("").remove(' '),
                "ErrorBox|Error|<I>X&AMP;" + QString(200, 'N') + ".SPRisnotavalidarchivefile.");
      const auto& label = Child<QLabel>(box, "qt_msgbox_label");
      for (const QString& line : lines) {
        const int width = label.fontMetrics().horizontalAdvance(line);
        EXPECT_LE(width, std::min(label.width(), box.screen()->geometry().width() / 2));
      }
      EXPECT_EQ(box.textFormat(), Qt::PlainText);
      EXPECT_EQ(box.icon(), QMessageBox::Critical);
      EXPECT_EQ(box.buttons().size(), 1);
      EXPECT_EQ(box.defaultButton()->text(), "OK");
      EXPECT_LE(OffCentre(box), 2) << "centred on the screen";
      EXPECT_EQ(ClosedBy(box, key), key != Qt::Key_Space) << key;
    });
    form.ListArchive();
  }
}

TEST_F(WindowTest, TheAboutBoxHoldsItsItemsAndEscDoesNotCloseIt) {
  MainWindow form(reader_);
  int shown = 0;
  AnswerModal([&shown](QDialog& box) {
    ++shown;
    const auto px = [&box](int value) {
      return static_cast<int>(std::lround(value * box.logicalDpiY() / 96.0));
    };
    const auto at = [&box](const char* name) { return Child(box, name).geometry(); };
    const auto corner = [&at](const char* name) { return QRect(at(name).topLeft(), QSize()); };
    const std::pair<QRect, QRect> places[] = {
        {QRect({}, box.size()), {0, 0, px(298), px(130)}},
        {at("AboutPanel"), {px(8), px(8), px(281), px(65)}},
        {at("ProgramIcon"), {px(24), px(16), px(33), px(33)}},
        {corner("ProductName"), QRect(px(88), px(16), -1, -1)},
        {corner("Copyright"), QRect(px(88), px(32), -1, -1)},
        {corner("Version"), QRect(px(88), px(40), -1, -1)},
        {at("OKButton"), {px(111), px(88), px(75), px(33)}},
    };
    for (const auto& [actual, expected] : places) {
      EXPECT_EQ(actual, expected);
    }
    EXPECT_EQ(box.windowTitle() + "|" + Child<QLabel>(box, "ProductName").text() + "|" +
                  Child<QLabel>(box, "Copyright").text(),
              "About|Trovanta|Copyright \u00A9 Gorblunk tools developers");
    EXPECT_EQ(box.font(), WindowFont(px(11))) << "follows the resolution";
    EXPECT_TRUE(Child(box, "ProductName").font().bold());
    EXPECT_EQ(Child<QLabel>(box, "ProgramIcon").pixmap().size(), QSize(32, 32));
    EXPECT_LE(OffCentre(box), 2) << "centred on the screen";
    EXPECT_FALSE(ClosedBy(box, Qt::Key_Escape));
  });
  Child<QAction>(form, "e1").trigger();
  AnswerModal([&shown](QDialog& box) { shown += ClosedBy(box, Qt::Key_Return) ? 1 : 0; });
  Child<QAction>(form, "e1").trigger();
  EXPECT_EQ(shown, 2) << "a fresh box each time; Enter presses OK";
  EXPECT_TRUE(form.findChildren<AboutBox*>().isEmpty()) << "destroyed once closed";
}

TEST_F(WindowTest, TheOpenDialogOffersTheArchiveFiltersAndKeepsTheLastChoice) {
  const std::unique_ptr<MainWindow> form = Start({});
  const QString chosen = QString::fromStdString(dir_.WriteNumbered("pal.mix", 2));
  const QString all = "*.spr *.map *.til *.mix *.lit *.llt *.tex";
  const struct {
    int filter;                                     // selected when the dialog opens
    std::vector<std::pair<Qt::Key, QString>> keys;  // then the patterns in use; Shift changes none
    QString answer;                                 // empty: cancel
  } steps[] = {
      {5,
       {{Qt::Key_Shift, all},
        {Qt::Key_Home, "*"},
        {Qt::Key_Down, "*.spr"},
        {Qt::Key_End, all},
        {Qt::Key_Up, "*.mix *.lit *.llt"}},
       chosen},
      {4, {{Qt::Key_Up, "*.til"}}, "/" + QString(259, 'x')},
      {4, {{Qt::Key_Up, "*.til"}}, ""},
      {4, {}, ""},
  };
  QStringList shown;
  for (const auto& step : steps) {
    answerOpen_ = [&](QFileDialog& dialog) {
      QComboBox& filters = Child<QComboBox>(dialog, "fileTypeCombo");
      if (&step == &steps[0]) {  // however large it would be, it fits the screen
        const QRect screen = dialog.screen()->availableGeometry();
        dialog.resize(screen.size() * 2);
        dialog.show();
        EXPECT_TRUE(screen.contains(dialog.frameGeometry()));
        EXPECT_TRUE(dialog.rect().contains(Child(dialog, "buttonBox").geometry())) << "in reach";
        dialog.hide();
      }
      EXPECT_EQ(filters.currentIndex(), step.filter);
      shown = {dialog.objectName(),
               dialog.windowTitle(),
               QString::number(dialog.fileMode()),
               dialog.selectedFiles().value(0),
               QString::number(dialog.testOption(QFileDialog::DontUseNativeDialog)),
               Child<QCheckBox>(dialog, "ReadOnlyCheckBox").text()};
      for (int i = 0; i < filters.count(); ++i) {
        shown.append(filters.itemText(i));
      }
      for (const auto& [key, patterns] : step.keys) {
        QTest::keyClick(&filters, key);
        EXPECT_EQ(dialog.findChild<QFileSystemModel*>()->nameFilters().join(' '), patterns);
      }
      dialog.selectFile(step.answer);
      return static_cast<int>(step.answer.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
    };
    Child<QAction>(*form, "Open1").trigger();
  }
  EXPECT_EQ(form->windowTitle(), "Trovanta (pal.mix)") << "a long path counts as a cancel";
  EXPECT_EQ(shown,
            (QStringList{"OpenDialog", "Select an archive file to list", "0", chosen, "1",
                         "Open as &read-only", "Any file (*.*)", "Sprite group archive (*.spr)",
                         "Brindel  map (*.map)", "Brindel tile group (*.til)",
                         "Palette table (*.mix;*.lit;*.llt)", "Any archive file"}));
  EXPECT_EQ(errors_.size(), 1) << "only the start-up's box";
}

TEST_F(WindowTest, ShowsEachCellOfEachKindOfRow) {
  const std::unique_ptr<MainWindow> form = Start("kinds.spr", {{"HERO.PAL", 0, 768},
                                                               {"RUN.SPR", 1, 3000, 10000},
                                                               {"CAF\xC9.\x80", 0, 1},
                                                               {"A\rB\nC", 0, 1}});
  const QStringList expected = {"0|HERO.PAL|no|768|||", "1|RUN.SPR|lzw|3000|10000|70.0%|",
                                "2|CAF\u00C9.\u20AC|no|1|||", "3|A\u240DB\u240AC|no|1|||",
                                "||||||"};
  QStringList shown;
  const QAbstractItemModel& model = *Grid(*form).model();
  for (int row = 0; row <= 4; ++row) {
    shown.append("");
    for (int column = 0; column <= 6; ++column) {
      shown.back() += model.index(row, column).data().toString() + (column < 6 ? "|" : "");
    }
  }
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(model.flags(model.index(3, 5)),
            Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
  EXPECT_EQ(model.flags(model.index(4, 0)), Qt::NoItemFlags);
}

TEST(RecordTableModelTest, KeepsTheModelContractAndPublishesEachFilledRowOnce) {
  RowStore rows;
  RecordTableModel model(rows);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
  EXPECT_EQ(model.rowCount(), 0);
  model.ResetRows([&rows] { rows.Resize(3); });
  rows.Set(2, {});
  model.ResetRows([&rows] { rows.Resize(10); });
  EXPECT_EQ(model.index(2, 1).data().toString(), "") << "a new table keeps no cell of the old";
  for (int i = 0; i < 4; ++i) {
    rows.Set(i, RecordRow{.index = i});
  }
  EXPECT_EQ(changes.count(), 0) << "filling alone tells the view nothing";
  model.PublishFilledRows();
  rows.Set(4, {});
  rows.Set(10, {});
  model.PublishFilledRows();
  model.PublishFilledRows();
  QList<QRect> published;
  for (const QList<QVariant>& change : changes) {
    published.append(
        QRect(QPoint(change[0].toModelIndex().column(), change[0].toModelIndex().row()),
              QPoint(change[1].toModelIndex().column(), change[1].toModelIndex().row())));
  }
  EXPECT_EQ(published, (QList<QRect>{{0, 0, 6, 4}, {0, 4, 6, 1}}));
  EXPECT_EQ(model.index(3, 0).data().toString() + model.index(5, 0).data().toString(), "3");
  // The longest run of empty records, and of records not listed, fits the 111-pixel name column.
  rows.Set(8, {.index = 1, .runLength = 2147483647, .kind = RowKind::kEmptyRun});
  rows.Set(9, {.index = 1, .runLength = 2147483647, .kind = RowKind::kNotListed});
  EXPECT_EQ(model.index(8, 1).data().toString() + "|" + model.index(9, 1).data().toString(),
            "2147483647 empty|2147483647 not listed");
  EXPECT_FALSE(model.headerData(6, Qt::Horizontal).isValid());
  for (const int row : {8, 9}) {
    EXPECT_LE(QFontMetrics(WindowFont()).horizontalAdvance(model.index(row, 1).data().toString()),
              111 - 2);
  }
}

TEST_F(WindowTest, PaintsTheSelectionGridLinesAndHeader) {
  const QPalette desktop = QApplication::palette();
  QPalette faint = desktop;
  faint.setColor(QPalette::Mid, faint.color(QPalette::Base));
  QApplication::setPalette(faint);  // a desktop whose palette would hide the grid lines
  const std::unique_ptr<MainWindow> form = Start({dir_.WriteNumbered("a.spr", 30)});
  QTableView& grid = Grid(*form);
  grid.selectRow(2);
  const QImage image = grid.grab().toImage();
  QApplication::setPalette(desktop);
  const QPoint cells = grid.viewport()->mapTo(&grid, QPoint());
  const QPoint header = grid.horizontalHeader()->mapTo(&grid, QPoint());
  const QPalette& colours = grid.palette();
  const QColor line(0xB8, 0xB8, 0xB8);
  const std::pair<QPoint, QColor> pixels[] = {
      {cells + QPoint(300, 18 + 9), colours.color(QPalette::Inactive, QPalette::Base)},
      {cells + QPoint(300, 2 * 18 + 9), colours.color(QPalette::Inactive, QPalette::Highlight)},
      {cells + QPoint(400, 3 * 18 - 1), line},
      {cells + QPoint(52 + 111 - 1, 4 * 18 + 9), line},
      {header + QPoint(52 - 1, 9), colours.color(QPalette::Dark)},
      {header + QPoint(100, 18 - 1), colours.color(QPalette::Dark)},
      {header + QPoint(150, 9), colours.color(QPalette::Button)},
  };
  for (const auto& [at, colour] : pixels) {
    EXPECT_EQ(image.pixelColor(at * image.devicePixelRatio()).name(), colour.name()) << at.x();
  }
  // Some ink in the first header cell and in a record's name cell: their texts are drawn.
  EXPECT_TRUE(
      Inked(image, {header + QPoint(2, 2), QSize(40, 13)}, colours.color(QPalette::Button)));
  EXPECT_TRUE(Inked(image, {cells + QPoint(54, 2), QSize(40, 13)},
                    colours.color(QPalette::Inactive, QPalette::Base)));
}

}  // namespace
}  // namespace lister::window

// The tests run inside one QApplication on the offscreen platform, so that they need no display
// and never show a window on the developer's desktop.
int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // Dialogs save their settings as they close; the tests' settings stay in the build folder.
  qputenv("XDG_CONFIG_HOME", WINDOW_TEST_CONFIG_HOME);
  ::testing::InitGoogleTest(&argc, argv);
  lister::window::UseClassicStyle();
  QApplication app(argc, argv);
  lister::window::NameApplication();
  // Tests close main windows; the run goes on.
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
