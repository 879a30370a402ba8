// The main window as the user meets it: start-up, layout, the commands, the current row and a
// long listing, on the offscreen platform.
#include "window_test_support.h"

namespace lister::window {
namespace {

using testing::Child;
using MainWindowTest = testing::WindowTest;

// Drags `url` onto the window offering `actions` and drops it there; the action the window took,
// IgnoreAction when it refused the drag or the drop.
Qt::DropAction Drop(TForm1& form, const QUrl& url,
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

TEST_F(MainWindowTest, StartsUpListingTheFirstArgumentBeforeTheWindowShows) {
  const std::string good = Archive("good.spr", 3);
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
    const std::unique_ptr<TForm1> form = Start(args);
    EXPECT_EQ(QStringList({errors_.join(""), QString::number(Rows(*form)), form->windowTitle()}) +
                  Summary(*form),
              shown.split('|'));
    EXPECT_EQ(form->CurrentGridRow(), std::min(Rows(*form), 1));
  }
  EXPECT_EQ(errorsWhileShown_, 0);
}

TEST(ProgramArgumentsTest, QtSeesOnlyTheProgramName) {
  std::string words[] = {"Trovanta", "-reverse", "-style", "x"};
  char* argv[] = {words[0].data(), words[1].data(), words[2].data(), words[3].data()};
  ProgramArguments arguments(4, argv);
  EXPECT_EQ(arguments.Args(), (std::vector<std::string>{"-reverse", "-style", "x"}));
  EXPECT_EQ(arguments.QtArgc(), 1);
  EXPECT_STREQ(arguments.QtArgv()[0], "Trovanta");
  EXPECT_EQ(arguments.QtArgv()[1], nullptr);
}

TEST_F(MainWindowTest, PlacesEveryItemWhereTheLayoutSays) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 30)});
  form->layout()->activate();
  const QTableView& grid = Grid(*form);
  const auto at = [&](const char* name) { return Child(*form, name).geometry(); };
  const auto column = [&](int c) {
    return QRect(grid.columnViewportPosition(c), 0, grid.columnWidth(c),
                 grid.horizontalHeader()->height());
  };
  const QWidget &label1 = Child(*form, "Label1"), &label2 = Child(*form, "Label2");
  const std::pair<QRect, QRect> places[] = {
      {QRect({}, form->centralWidget()->size()), {0, 0, 473, 295}},
      {at("GroupBox1"), {8, 0, 457, 105}},
      {QRect(label1.pos(), QSize(0, label1.height())), {8, 24, 0, 5 * 13}},
      {QRect(label2.pos(), QSize(0, label2.height())), {144, 24, 0, 5 * 13}},
      {at("RadioButton2"), {384, 56, 57, 17}},
      {at("RadioButton1"), {384, 80, 57, 17}},
      {at("StringGrid1"), {8, 112, 457, 174}},
      {column(0), {0, 0, 52, 18}},
      {column(1), {52, 0, 111, 18}},
      {column(2), {163, 0, 52, 18}},
      {column(3), {215, 0, 72, 18}},
      {column(4), {287, 0, 72, 18}},
      {column(5), {359, 0, 72, 18}},
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
  for (int c = 0; c < 6; ++c) {
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
  EXPECT_LE(testing::OffCentre(*form), 2) << "centred on the screen";
}

TEST_F(MainWindowTest, LabelsShowEachLineLiterallyAndSizeToTheirText) {
  LineLabel label;
  label.SetLines({"Tom & Jerry", "A\nB\rC", QString("A") + QChar(0) + "\x7F", "mid"});
  EXPECT_EQ(label.Lines(), (QStringList{"Tom & Jerry", "A\u240AB\u240DC", "A\u2400\u2421", "mid"}));
  for (const int pixels : {11, 20}) {  // and follow a change of font
    label.setFont(WindowFont(pixels));
    EXPECT_EQ(label.size(), QSize(label.fontMetrics().horizontalAdvance("Tom & Jerry"), 4 * 13));
  }
  const QImage image = label.grab().toImage();
  for (int line = 0; line < 4; ++line) {  // each line drawn in its own 13 pixels
    EXPECT_TRUE(
        testing::Inked(image, {0, line * 13, 20, 13}, label.palette().color(QPalette::Window)))
        << line;
  }
}

TEST_F(MainWindowTest, CommandsListAndSwitchUnits) {
  const std::unique_ptr<TForm1> form = Start({dir_.Write(
      "mixed.spr",
      archive::BuildArchive("Mixed", 2,
                            {{"PLAIN", 0, 5000}, {"PACKED", archive::kMethodLzw, 3000, 10000}}))});
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

  const QString dropped = QString::fromStdString(Archive("dropped.spr", 6));
  EXPECT_FALSE(Drop(*form, QUrl("https://example.invalid/y.spr")));
  EXPECT_FALSE(Drop(*form, QUrl::fromLocalFile(dropped), Qt::MoveAction)) << "never a move";
  EXPECT_EQ(Drop(*form, QUrl::fromLocalFile(dropped), Qt::MoveAction | Qt::LinkAction),
            Qt::LinkAction);
  EXPECT_EQ(Drop(*form, QUrl::fromLocalFile(dropped)), Qt::CopyAction);
  QCoreApplication::processEvents();
  EXPECT_EQ(errors_.size(), 1) << "a refused drop lists nothing";
  EXPECT_EQ(form->windowTitle(), "Trovanta (dropped.spr)");
  EXPECT_EQ(Rows(*form), 6);
  answerOpen_ = [&](QFileDialog& dialog) {
    EXPECT_EQ(dialog.selectedFiles().value(0), dropped) << "remembered as if chosen";
    return 0;
  };
  Child<QAction>(*form, "Open1").trigger();
  EXPECT_EQ(openDialogs_, 3);
}

TEST_F(MainWindowTest, EscClosesTheWindowWhereverTheFocusIsButInTheMenuBar) {
  for (const auto& [focus, closes] : {std::pair{"StringGrid1", true},
                                      {"RadioButton1", true},
                                      {"ClientArea", true},
                                      {"MainMenu1", false}}) {
    const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 40)});
    form->show();
    QWidget& target = Child(*form, focus);
    for (const auto& [key, chord] : {std::pair{Qt::Key_Down, Qt::NoModifier},
                                     {Qt::Key_Escape, Qt::ControlModifier},
                                     {Qt::Key_Escape, Qt::AltModifier}}) {
      QTest::keyClick(&target, key, chord);
    }
    EXPECT_TRUE(form->isVisible()) << focus << ": other keys go to the control";
    QTest::keyClick(&target, Qt::Key_Escape);
    EXPECT_EQ(form->isVisible(), !closes) << focus;
  }
}

TEST_F(MainWindowTest, TheCurrentRowFollowsTheRulesAcrossListings) {
  const std::string fifty = Archive("fifty.spr", 50);
  const std::unique_ptr<TForm1> form = Start({Archive("forty.spr", 40)});
  form->show();
  QTableView& grid = Grid(*form);
  const auto select = [&](int row, int end) {  // from `row` to `end` by the keyboard
    grid.selectRow(row - 1);
    for (int i = row; i != end; i += end > row ? 1 : -1) {
      QTest::keyClick(&grid, end > row ? Qt::Key_Down : Qt::Key_Up, Qt::ShiftModifier);
    }
  };
  select(30, 30);
  Open(*form, Archive("ten.spr", 10));
  EXPECT_EQ(form->CurrentGridRow(), 10) << "the new table's last row";
  Open(*form, fifty);
  select(30, 30);
  grid.scrollToTop();
  Open(*form, fifty);
  const QRect shown = grid.visualRect(grid.currentIndex());
  EXPECT_TRUE(grid.viewport()->rect().contains(shown)) << "scrolled into view";
  EXPECT_GT(shown.bottom(), grid.viewport()->height() - 18) << "and no further";
  grid.verticalScrollBar()->setValue(27);
  Open(*form, fifty);
  EXPECT_EQ(grid.verticalScrollBar()->value(), 27) << "a row in view needs no scrolling";
  grid.scrollToBottom();
  EXPECT_EQ(grid.rowViewportPosition(grid.rowAt(0)), 0) << "the top row whole at the end";
  EXPECT_EQ(grid.rowViewportPosition(49) + 18, 8 * 18) << "the last row whole, space below";
  for (const auto& [start, end] : {std::pair{5, 9}, {9, 5}}) {
    select(start, end);
    EXPECT_EQ(form->CurrentGridRow(), start) << "where the selection started";
    Open(*form, fifty);
    EXPECT_EQ(form->CurrentGridRow(), start);
    EXPECT_EQ(grid.selectionModel()->selectedRows().size(), 1);
  }
  for (const std::string& before : {dir_.File("missing.spr"), Archive("none.spr", 0)}) {
    Open(*form, before);
    EXPECT_TRUE(form->CurrentGridRow() == 0 && !grid.selectionModel()->hasSelection());
    Open(*form, fifty);
    EXPECT_EQ(QPoint(form->CurrentGridRow(), grid.verticalScrollBar()->value()), QPoint(1, 0));
  }
}

// The progress dialog lets events through during a long listing. Meanwhile the window refuses
// Open, drops and the unit buttons, and carries out a close request (Esc, the close box) at its
// end.
TEST_F(MainWindowTest, ALongListingShowsProgressRefusesCommandsAndClosesAtItsEnd) {
  const std::string big = Archive("big.spr", 3000);
  const QUrl other = QUrl::fromLocalFile(QString::fromStdString(Archive("other.spr", 2)));
  for (const Qt::Key close : {Qt::Key_Escape, Qt::Key_F4, Qt::Key_Space}) {
    const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 2)});
    form->show();
    form->SetProgressDelay(std::chrono::milliseconds(0));
    QString during;
    QTimer::singleShot(0, form.get(), [&] {
      QWidget& progress = *QApplication::activeModalWidget();
      QTest::keyClick(&progress, Qt::Key_Escape);  // only the listing's end closes it
      during = QStringList({progress.objectName(), progress.windowTitle(),
                            Child<QLabel>(progress, "").text(),
                            progress.findChild<QProgressBar*>()->format()})
                   .join('|') +
               (progress.isVisible() ? "" : " gone");
      QTest::mouseClick(&Child(*form, "RadioButton2"), Qt::LeftButton);
      QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
      during += Drop(*form, other) ? " drop" : "";
      close == Qt::Key_F4 ? void(form->close()) : QTest::keyClick(&Grid(*form), close);
      during += form->isVisible() ? "" : " closed";
    });
    Open(*form, big);
    QCoreApplication::processEvents();
    EXPECT_EQ(during, "ListingProgress|Trovanta|Listing big.spr|%v of %m");
    EXPECT_EQ(form->isVisible(), close == Qt::Key_Space);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(Child<QRadioButton>(*form, "RadioButton1").isChecked());
    EXPECT_EQ(form->windowTitle() + Cell(*form, 2999, 1), "Trovanta (big.spr)R2999.SPR");
    EXPECT_TRUE(form->findChildren<QDialog*>().isEmpty()) << "the progress dialog is gone";
  }
}

}  // namespace
}  // namespace lister::window
