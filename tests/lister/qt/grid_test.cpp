// The record table: which row is current after a listing, what each cell shows, how the model
// tells the view about rows, and what the grid paints.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>

#include "current_row.h"
#include "record_table_model.h"
#include "window_test_support.h"

namespace lister::window {
namespace {

using testing::Child;
using GridTest = testing::WindowTest;

TEST(ChooseCurrentRowTest, FollowsTheRowAcrossListings) {
  const struct {
    std::int64_t previousRow, recordRows, row;
    bool fromTop;
  } cases[] = {
      {0, 12, 1, true},  {30, 50, 30, false}, {30, 30, 30, false},
      {30, 10, 10, false}, {30, 0, 0, false}, {-1, 5, 1, true},
  };
  for (const auto& c : cases) {
    const CurrentRow chosen = ChooseCurrentRow(c.previousRow, c.recordRows);
    EXPECT_EQ(std::pair(chosen.row, chosen.fromTop), std::pair(c.row, c.fromTop)) << c.previousRow;
  }
}

TEST_F(GridTest, ShowsEachCellOfEachKindOfRow) {
  using archive::RecordSpec;
  const std::vector<RecordSpec> records = {
      {"HERO.PAL", 0, 768}, {"RUN.SPR", archive::kMethodLzw, 3000, 10000}, {"X", 7, 5, 4},
      {"GONE", 0, 0, 0, true}, {"CAF\xC9.\x80", 0, 1}, {"A\rB\nC", 0, 1},
  };
  const std::unique_ptr<TForm1> form = Start({dir_.Write("kinds.spr", archive::BuildArchive("K", 1, records))});
  const QStringList expected[] = {
      {"0", "HERO.PAL", "no", "768", "", ""},
      {"1", "RUN.SPR", "lzw", "3000", "10000", "70.0%"},
      {"2", "X", "7", "5", "4", "   0%"},
      {"3", "empty record", "", "", "", ""},
      {"4", "CAF\u00C9.\u20AC", "no", "1", "", ""},
      {"5", "A\u240DB\u240AC", "no", "1", "", ""},
  };
  ASSERT_EQ(Rows(*form), 6);
  for (int row = 0; row < 6; ++row) {
    QStringList cells;
    for (int column = 0; column < 6; ++column) {
      cells.append(Cell(*form, row, column));
      EXPECT_EQ(Grid(*form).model()->flags(Grid(*form).model()->index(row, column)),
                Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
    }
    EXPECT_EQ(cells, expected[row]);
  }
}

TEST(RecordTableModelTest, KeepsTheModelContractAndPublishesEachFilledRowOnce) {
  RecordTableModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
  RecordRow old;
  old.SetName("OLD");
  model.ResizeRecords(3);
  model.SetRecordRow(2, old);
  model.ResizeRecords(10);
  EXPECT_EQ(model.index(2, 1).data().toString(), "") << "a new table keeps no cell of the old";
  for (int i = 0; i < 4; ++i) {
    model.SetRecordRow(i, RecordRow{.index = i});
  }
  EXPECT_EQ(changes.count(), 0) << "filling alone tells the view nothing";
  model.PublishFilledRows();
  model.SetRecordRow(4, {});
  model.SetRecordRow(10, old);
  model.PublishFilledRows();
  model.PublishFilledRows();
  ASSERT_EQ(changes.count(), 2);
  const auto range = [&](int i) {
    const auto from = changes[i][0].value<QModelIndex>(), to = changes[i][1].value<QModelIndex>();
    return QRect(QPoint(from.column(), from.row()), QPoint(to.column(), to.row()));
  };
  EXPECT_EQ(range(0), QRect(QPoint(0, 0), QPoint(5, 3)));
  EXPECT_EQ(range(1), QRect(QPoint(0, 4), QPoint(5, 4)));
  EXPECT_EQ(model.index(3, 0).data().toString(), "3");
  EXPECT_EQ(model.index(5, 0).data().toString(), "") << "not filled yet";
}

TEST_F(GridTest, PaintsTheSelectionGridLinesAndHeader) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 30)});
  QTableView& grid = Grid(*form);
  grid.selectRow(2);
  const QImage image = grid.grab().toImage();
  const QPoint cells = grid.viewport()->mapTo(&grid, QPoint());
  const QPoint header = grid.horizontalHeader()->mapTo(&grid, QPoint());
  const QPalette& colours = grid.palette();
  const QPalette::ColorGroup group = grid.isActiveWindow() ? QPalette::Active : QPalette::Inactive;
  QStyleOptionViewItem option;
  const QColor gridLine = QColor::fromRgba(
      static_cast<QRgb>(grid.style()->styleHint(QStyle::SH_Table_GridLineColor, &option, &grid)));
  ASSERT_NE(gridLine, colours.color(group, QPalette::Base));
  const std::pair<QPoint, QColor> pixels[] = {
      {cells + QPoint(300, 18 + 9), colours.color(group, QPalette::Base)},
      {cells + QPoint(300, 2 * 18 + 9), colours.color(group, QPalette::Highlight)},
      {cells + QPoint(400, 3 * 18 - 1), gridLine},
      {cells + QPoint(52 + 111 - 1, 4 * 18 + 9), gridLine},
      {header + QPoint(52 - 1, 9), colours.color(QPalette::Dark)},
      {header + QPoint(100, 18 - 1), colours.color(QPalette::Dark)},
      {header + QPoint(150, 9), colours.color(QPalette::Button)},
  };
  for (const auto& [at, colour] : pixels) {
    EXPECT_EQ(image.pixelColor(at * image.devicePixelRatio()).name(), colour.name())
        << at.x() << "," << at.y();
  }
}

}  // namespace
}  // namespace lister::window
