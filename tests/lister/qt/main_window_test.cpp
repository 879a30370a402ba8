// The main window as the user meets it: start-up, layout, the commands and the current row,
// on the offscreen platform, with the dialogs answered in place.
#include "main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "about.h"
#include "archive_open_dialog.h"
#include "line_label.h"
#include "start_up.h"
#include "temp_dir.h"
#include "window_test_support.h"

namespace lister::window {
namespace {

using testing::Child;
using testing::DialogScript;
using testing::NumberedArchive;

class MainWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<TForm1> Start(const std::vector<std::string>& args) {
    return PrepareMainWindow(reader_, args, script_.Runner());
  }
  std::string Archive(const std::string& name, int records) {
    return dir_.Write(name, NumberedArchive(records, "Numbered"));
  }
  // Lists `path` as if the user chose it in the open dialog.
  void Open(TForm1& form, const std::string& path) {
    script_.answerOpen = DialogScript::Choose(QString::fromStdString(path));
    Child<QAction>(form, "Open1").trigger();
  }
  static QStringList Summary(const TForm1& form) {
    return Child<LineLabel>(form, "Label2").Lines();
  }
  static QTableView& Grid(const TForm1& form) { return Child<QTableView>(form, "StringGrid1"); }
  static int Rows(const TForm1& form) { return Grid(form).model()->rowCount(); }
  static QString Cell(const TForm1& form, int row, int column) {
    const QAbstractItemModel& model = *Grid(form).model();
    return model.index(row, column).data().toString();
  }
  static void Show(TForm1& form) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }
  // Makes grid row `row` (the first record is row 1) current, as a click on it does.
  static void MakeCurrent(TForm1& form, int row) {
    QTableView& grid = Grid(form);
    grid.selectionModel()->setCurrentIndex(
        grid.model()->index(row - 1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }

  archive::ArchiveReader reader_;
  testing_support::TempDir dir_;
  DialogScript script_;
};

TEST_F(MainWindowTest, StartsUpListingTheFirstArgumentBeforeTheWindowShows) {
  const std::string good = Archive("good.spr", 3);
  const std::string bad = dir_.WriteText("bad.spr", "not an archive at all");
  const QStringList notListed = {"Not an archive file"};
  struct Case {
    const char* what;
    std::vector<std::string> args;
    QStringList errors;
    int rows;
    QString caption;
    QStringList summary;
  };
  const Case cases[] = {
      {"no argument", {}, {"No file specified."}, 0, "Trovanta", notListed},
      {"a good archive",
       {good},
       {},
       3,
       "Trovanta (good.spr)",
       {"Numbered", "1", "3", "1 KB ", "1 KB (not compressed)"}},
      {"a bad archive", {bad}, {"BAD.SPR is not a valid archive file."}, 0, "Trovanta", notListed},
      {"a missing file",
       {dir_.File("gone.spr")},
       {"This file does not exist."},
       0,
       "Trovanta",
       notListed},
      {"further arguments",
       {good, bad, "-x"},
       {},
       3,
       "Trovanta (good.spr)",
       {"Numbered", "1", "3", "1 KB ", "1 KB (not compressed)"}},
  };
  for (const Case& c : cases) {
    script_ = DialogScript();
    const std::unique_ptr<TForm1> form = Start(c.args);
    EXPECT_EQ(script_.errors, c.errors) << c.what;
    EXPECT_EQ(script_.windowShownAtError, std::vector<bool>(c.errors.size(), false)) << c.what;
    EXPECT_FALSE(form->isVisible()) << c.what;
    EXPECT_EQ(Rows(*form), c.rows) << c.what;
    EXPECT_EQ(form->windowTitle(), c.caption) << c.what;
    EXPECT_EQ(Summary(*form), c.summary) << c.what;
    EXPECT_EQ(form->CurrentGridRow(), c.rows > 0 ? 1 : 0) << c.what;
    EXPECT_EQ(Child<LineLabel>(*form, "Label1").Lines(),
              (QStringList{"Archive title:", "Version number:", "Total number of records:",
                           "Total uncompressed length:", "Total compressed length:"}));
  }
}

TEST_F(MainWindowTest, PlacesEveryItemWhereTheLayoutSays) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 2)});
  form->layout()->activate();
  struct Item {
    const char* name;
    QRect geometry;
  };
  const Item items[] = {
      {"GroupBox1", {8, 0, 457, 105}},
      {"RadioButton2", {384, 56, 57, 17}},
      {"RadioButton1", {384, 80, 57, 17}},
      {"StringGrid1", {8, 112, 457, 174}},
  };
  for (const Item& item : items) {
    EXPECT_EQ(Child<QWidget>(*form, item.name).geometry(), item.geometry) << item.name;
  }
  EXPECT_EQ(Child<QWidget>(*form, "Label1").pos(), QPoint(8, 24));
  EXPECT_EQ(Child<QWidget>(*form, "Label2").pos(), QPoint(144, 24));
  EXPECT_EQ(Child<QWidget>(*form, "Label1").height(), 5 * kLabelLineHeight);

  QWidget& client = *form->centralWidget();
  const QMenuBar& menu = Child<QMenuBar>(*form, "MainMenu1");
  EXPECT_EQ(client.size(), QSize(473, 295));
  EXPECT_EQ(client.y(), menu.geometry().bottom() + 1) << "the client area lies below the menu";
  EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "not resizable";
  EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)));
  EXPECT_EQ(form->font().families().value(0), "MS Sans Serif");
  EXPECT_EQ(form->font().pixelSize(), 11);
  EXPECT_TRUE(Child<QWidget>(*form, "Label2").font().bold());
  EXPECT_FALSE(Child<QWidget>(*form, "Label1").font().bold());

  EXPECT_EQ(Child<QGroupBox>(*form, "GroupBox1").title(), "Archive header");
  EXPECT_EQ(Child<QRadioButton>(*form, "RadioButton1").text(), "in KB");
  EXPECT_EQ(Child<QRadioButton>(*form, "RadioButton2").text(), "in bytes");
  EXPECT_TRUE(Child<QRadioButton>(*form, "RadioButton1").isChecked());
  struct MenuItem {
    const char* name;
    QString text;
  };
  for (const MenuItem& item : {MenuItem{"Open1", "&Open..."}, MenuItem{"e1", "&About..."}}) {
    EXPECT_EQ(Child<QAction>(*form, item.name).text(), item.text);
    EXPECT_TRUE(Child<QAction>(*form, item.name).shortcut().isEmpty()) << item.name;
  }
  EXPECT_EQ(Child<QMenu>(*form, "File1").title(), "&File");
  EXPECT_EQ(Child<QMenu>(*form, "Help1").title(), "&Help");

  Show(*form);
  const QPoint offCentre =
      form->frameGeometry().center() - form->screen()->availableGeometry().center();
  EXPECT_LE(offCentre.manhattanLength(), 2) << "centred on the screen";
}

TEST_F(MainWindowTest, TheGridShowsWholeRowsOfFixedSize) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 30)});
  QTableView& grid = Grid(*form);
  const QHeaderView& header = *grid.horizontalHeader();
  const int widths[] = {52, 111, 52, 72, 72, 72};
  const char* texts[] = {"Number",     "Record name",  "Comp.",
                         "Comp. Size", "Uncomp. Size", "Comp. ratio"};
  for (int column = 0; column < 6; ++column) {
    EXPECT_EQ(grid.columnWidth(column), widths[column]);
    EXPECT_EQ(header.sectionResizeMode(column), QHeaderView::Fixed);
    EXPECT_EQ(grid.model()->headerData(column, Qt::Horizontal).toString(), texts[column]);
  }
  EXPECT_EQ(header.height(), 18);
  EXPECT_EQ(grid.rowHeight(0), 18);
  EXPECT_EQ(grid.rowHeight(29), 18);
  EXPECT_FALSE(grid.verticalHeader()->isVisible());
  EXPECT_FALSE(header.sectionsClickable());
  EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(grid.selectionMode(), QAbstractItemView::ContiguousSelection);
  EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(grid.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_TRUE(grid.showGrid());
  EXPECT_EQ(Cell(*form, 29, 1), "R29.SPR");
}

TEST_F(MainWindowTest, SwitchingUnitsChangesOnlyTheTwoSizeLines) {
  const std::vector<archive::RecordSpec> records = {
      {"PLAIN.DAT", archive::kMethodStored, 5000, 0, false, -1},
      {"PACKED.DAT", archive::kMethodLzw, 3000, 10000, false, -1},
  };
  const std::unique_ptr<TForm1> form =
      Start({dir_.Write("mixed.spr", archive::BuildArchive("Mixed", 2, records))});
  const QStringList inKB = {"Mixed", "2", "2", "15 KB ", "8 KB (46.7% gained)"};
  const QStringList inBytes = {"Mixed", "2", "2", "15000 bytes ", "8000 bytes (46.7% gained)"};
  QRadioButton& kb = Child<QRadioButton>(*form, "RadioButton1");
  QRadioButton& bytes = Child<QRadioButton>(*form, "RadioButton2");
  ASSERT_EQ(Summary(*form), inKB);
  kb.click();
  EXPECT_EQ(Summary(*form), inKB);
  bytes.click();
  EXPECT_EQ(Summary(*form), inBytes);
  EXPECT_FALSE(form->Listing().ShowInKB());
  EXPECT_EQ(Cell(*form, 1, 3), "3000") << "the table stays in bytes";
  EXPECT_EQ(Cell(*form, 1, 4), "10000");
  kb.click();
  EXPECT_EQ(Summary(*form), inKB);
}

TEST_F(MainWindowTest, EscClosesTheWindowWhereverTheFocusIs) {
  for (const char* focus : {"StringGrid1", "RadioButton1", "TForm1"}) {
    const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 40)});
    Show(*form);
    QWidget& target = std::string(focus) == "TForm1" ? *form : Child<QWidget>(*form, focus);
    target.setFocus();
    QTest::keyClick(&target, Qt::Key_Down);
    QTest::keyClick(&target, Qt::Key_A);
    EXPECT_TRUE(form->isVisible()) << focus << ": other keys go to the control";
    QTest::keyClick(&target, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible()) << focus;
  }
}

TEST_F(MainWindowTest, ACancelledOpenChangesNothing) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 5)});
  MakeCurrent(*form, 4);
  const QStringList summary = Summary(*form);
  script_.answerOpen = DialogScript::Cancel;
  Child<QAction>(*form, "Open1").trigger();
  EXPECT_EQ(script_.openDialogs, 1);
  EXPECT_TRUE(script_.errors.isEmpty());
  EXPECT_EQ(form->windowTitle(), "Trovanta (a.spr)");
  EXPECT_EQ(Summary(*form), summary);
  EXPECT_EQ(Rows(*form), 5);
  EXPECT_EQ(form->CurrentGridRow(), 4);
}

TEST_F(MainWindowTest, AnOpenedPathIsListedEvenWhenItDoesNotExist) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 5)});
  Open(*form, Archive("b.spr", 7));
  EXPECT_EQ(form->windowTitle(), "Trovanta (b.spr)");
  EXPECT_EQ(Rows(*form), 7);
  Open(*form, dir_.File("typed.spr"));
  EXPECT_EQ(script_.errors, QStringList{"This file does not exist."});
  EXPECT_EQ(Rows(*form), 0);
  EXPECT_EQ(Summary(*form), QStringList{"Not an archive file"});
  EXPECT_EQ(form->windowTitle(), "Trovanta (b.spr)") << "the caption names the last good listing";
}

TEST_F(MainWindowTest, TheOpenDialogOffersTheArchiveFiltersAndKeepsTheLastChoice) {
  const std::unique_ptr<TForm1> form = Start({});
  const QString chosen = QString::fromStdString(Archive("pal.mix", 2));
  const auto patterns = [](QFileDialog& dialog) {
    return dialog.findChild<QFileSystemModel*>()->nameFilters();
  };
  const auto filterList = [](QFileDialog& dialog) -> QComboBox& {
    return Child<QComboBox>(dialog, "fileTypeCombo");
  };
  script_.answerOpen = [&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Select an archive file to list");
    EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile) << "no existence check";
    QComboBox& filters = filterList(dialog);
    const QStringList shown = {"Any file (*.*)",
                               "Sprite group archive (*.spr)",
                               "Brindel  map (*.map)",
                               "Brindel tile group (*.til)",
                               "Palette table (*.mix;*.lit;*.llt)",
                               "Any archive file"};
    for (int i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(filters.itemText(i), shown[i]);
    }
    EXPECT_EQ(filters.currentIndex(), 5);
    EXPECT_EQ(patterns(dialog),
              (QStringList{"*.spr", "*.map", "*.til", "*.mix", "*.lit", "*.llt", "*.tex"}));
    filters.setFocus();
    QTest::keyClick(&filters, Qt::Key_Up);  // the user picks the palette tables
    EXPECT_EQ(patterns(dialog), (QStringList{"*.mix", "*.lit", "*.llt"}));
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(&filters, Qt::Key_Up);
    }
    EXPECT_EQ(patterns(dialog), QStringList{"*"}) << "any file, with or without a dot";
    QTest::keyClick(&filters, Qt::Key_Down);
    QTest::keyClick(&filters, Qt::Key_Down);
    QTest::keyClick(&filters, Qt::Key_Down);
    QTest::keyClick(&filters, Qt::Key_Down);
    dialog.selectFile(chosen);
    return static_cast<int>(QDialog::Accepted);
  };
  Child<QAction>(*form, "Open1").trigger();
  ASSERT_EQ(form->windowTitle(), "Trovanta (pal.mix)");

  script_.answerOpen = [&](QFileDialog& dialog) {
    EXPECT_EQ(filterList(dialog).currentIndex(), 4) << "the last choice is kept";
    EXPECT_EQ(patterns(dialog), (QStringList{"*.mix", "*.lit", "*.llt"}));
    EXPECT_EQ(dialog.selectedFiles().value(0), chosen) << "pre-filled with the last path";
    QTest::keyClick(&filterList(dialog), Qt::Key_Up);
    return static_cast<int>(QDialog::Rejected);
  };
  Child<QAction>(*form, "Open1").trigger();

  script_.answerOpen = [&](QFileDialog& dialog) {
    EXPECT_EQ(filterList(dialog).currentIndex(), 4) << "a cancel keeps nothing";
    dialog.selectFile("/" + QString(259, 'x'));
    return static_cast<int>(QDialog::Accepted);
  };
  Child<QAction>(*form, "Open1").trigger();
  EXPECT_EQ(script_.openDialogs, 3);
  EXPECT_TRUE(script_.errors.size() == 1) << "only the start-up's box: a long path is a cancel";
  EXPECT_EQ(form->windowTitle(), "Trovanta (pal.mix)");
}

TEST_F(MainWindowTest, TheCurrentRowFollowsTheRulesAcrossListings) {
  const std::string forty = Archive("forty.spr", 40);
  const std::string ten = Archive("ten.spr", 10);
  const std::string fifty = Archive("fifty.spr", 50);
  const std::unique_ptr<TForm1> form = Start({forty});
  Show(*form);
  QTableView& grid = Grid(*form);
  ASSERT_EQ(form->CurrentGridRow(), 1);

  MakeCurrent(*form, 30);
  Open(*form, ten);
  EXPECT_EQ(form->CurrentGridRow(), 10) << "the new table's last row";

  Open(*form, forty);
  MakeCurrent(*form, 30);
  grid.scrollToTop();
  Open(*form, fifty);
  ASSERT_EQ(form->CurrentGridRow(), 30);
  const QRect shown = grid.visualRect(grid.currentIndex());
  EXPECT_TRUE(grid.viewport()->rect().contains(shown)) << "scrolled into view";
  EXPECT_GT(shown.bottom(), grid.viewport()->height() - kGridRowHeight) << "and no further";
  EXPECT_EQ(grid.selectionModel()->selectedRows().size(), 1);

  grid.verticalScrollBar()->setValue(27);  // row 28 at the top, row 30 in view
  Open(*form, fifty);
  EXPECT_EQ(form->CurrentGridRow(), 30);
  EXPECT_EQ(grid.verticalScrollBar()->value(), 27) << "a row in view needs no scrolling";

  Open(*form, dir_.File("missing.spr"));
  EXPECT_EQ(form->CurrentGridRow(), 0);
  Open(*form, fifty);
  EXPECT_EQ(form->CurrentGridRow(), 1) << "after a failed listing";
  EXPECT_EQ(grid.verticalScrollBar()->value(), 0);

  Open(*form, Archive("none.spr", 0));
  EXPECT_EQ(form->CurrentGridRow(), 0);
  Open(*form, fifty);
  EXPECT_EQ(form->CurrentGridRow(), 1) << "after a listing without records";
}

TEST_F(MainWindowTest, ASelectionOfSeveralRowsShrinksToWhereItStarted) {
  const std::string fifty = Archive("fifty.spr", 50);
  const std::unique_ptr<TForm1> form = Start({fifty});
  Show(*form);
  QTableView& grid = Grid(*form);
  struct Case {
    int start;
    int end;
  };
  for (const Case c : {Case{5, 9}, Case{9, 5}}) {
    MakeCurrent(*form, c.start);
    grid.setFocus();
    for (int i = c.start; i != c.end; i += c.end > c.start ? 1 : -1) {
      QTest::keyClick(&grid, c.end > c.start ? Qt::Key_Down : Qt::Key_Up, Qt::ShiftModifier);
    }
    ASSERT_EQ(grid.selectionModel()->selectedRows().size(), 5);
    EXPECT_EQ(form->CurrentGridRow(), c.start);
    Open(*form, fifty);
    EXPECT_EQ(form->CurrentGridRow(), c.start);
    EXPECT_EQ(grid.selectionModel()->selectedRows().size(), 1);
  }
}

TEST_F(MainWindowTest, EachAboutCommandShowsAFreshBox) {
  const std::unique_ptr<TForm1> form = Start({});
  int reused = 0;
  script_.onAnyDialog = [&reused](QDialog& dialog) {
    reused += dialog.property("seen").toBool() ? 1 : 0;
    dialog.setProperty("seen", true);
  };
  Child<QAction>(*form, "e1").trigger();
  Child<QAction>(*form, "e1").trigger();
  EXPECT_EQ(script_.aboutBoxes, 2);
  EXPECT_EQ(reused, 0);
  EXPECT_TRUE(form->findChildren<TAboutBox*>().isEmpty()) << "destroyed when closed";
}

TEST_F(MainWindowTest, MnemonicsOpenTheMenus) {
  const std::unique_ptr<TForm1> form = Start({});
  Show(*form);
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  struct Case {
    Qt::Key menu;
    Qt::Key item;
    int DialogScript::*count;
  };
  for (const Case c : {Case{Qt::Key_F, Qt::Key_O, &DialogScript::openDialogs},
                       Case{Qt::Key_H, Qt::Key_A, &DialogScript::aboutBoxes}}) {
    QTest::keyClick(form.get(), c.menu, Qt::AltModifier);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, c.item);
    EXPECT_EQ(script_.*c.count, 1);
  }
}

TEST_F(MainWindowTest, ADroppedFileIsListedAsIfChosen) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 2)});
  const QString dropped = QString::fromStdString(Archive("dropped.spr", 6));
  QMimeData data;
  data.setUrls({QUrl("https://example.invalid/x.spr"), QUrl::fromLocalFile(dropped)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &drop);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->windowTitle(), "Trovanta (dropped.spr)");
  EXPECT_EQ(Rows(*form), 6);
  script_.answerOpen = [&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.selectedFiles().value(0), dropped);
    return static_cast<int>(QDialog::Rejected);
  };
  Child<QAction>(*form, "Open1").trigger();
  EXPECT_EQ(script_.openDialogs, 1);

  QMimeData remote;
  remote.setUrls({QUrl("https://example.invalid/x.spr")});
  QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
  refused.setAccepted(false);
  QApplication::sendEvent(form.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST_F(MainWindowTest, ALongListingShowsProgressAndStartsNothingElse) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 2)});
  Show(*form);
  form->SetProgressDelay(std::chrono::milliseconds(0));
  const std::string big = Archive("big.spr", 3000);
  bool progressShown = false;
  bool poked = false;
  script_.answerOpen = [&](QFileDialog& dialog) {
    // Runs while the listing lets events through.
    QTimer::singleShot(0, form.get(), [&] {
      auto* progress = QApplication::activeModalWidget();
      progressShown = progress != nullptr && progress->objectName() == "ListingProgress" &&
                      progress->isVisible();
      Child<QAction>(*form, "Open1").trigger();
      Child<QAction>(*form, "e1").trigger();
      Child<QRadioButton>(*form, "RadioButton2").click();
      QTest::keyClick(&Grid(*form), Qt::Key_Escape);
      form->close();
      poked = true;
    });
    dialog.selectFile(QString::fromStdString(big));
    return static_cast<int>(QDialog::Accepted);
  };
  Child<QAction>(*form, "Open1").trigger();
  ASSERT_TRUE(poked);
  EXPECT_TRUE(progressShown);
  EXPECT_EQ(script_.openDialogs, 1);
  EXPECT_EQ(script_.aboutBoxes, 0);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->Listing().ShowInKB());
  EXPECT_TRUE(Child<QRadioButton>(*form, "RadioButton1").isChecked());
  EXPECT_EQ(Rows(*form), 3000);
  EXPECT_EQ(Cell(*form, 2999, 1), "R2999.SPR");
  EXPECT_TRUE(form->findChildren<QProgressDialog*>().isEmpty());
}

}  // namespace
}  // namespace lister::window
