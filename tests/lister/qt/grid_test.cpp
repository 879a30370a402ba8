// The record table: what each cell shows, how the model tells the view about rows, and what the
// grid paints.
#include "record_table_model.h"
#include "window_test_support.h"

namespace lister::window {
namespace {

using GridTest = testing::WindowTest;

TEST_F(GridTest, ShowsEachCellOfEachKindOfRow) {
  const std::unique_ptr<TForm1> form = Start(
      {dir_.Write("kinds.spr", archive::BuildArchive("K", 1,
                                                     {{"HERO.PAL", 0, 768},
                                                      {"RUN.SPR", archive::kMethodLzw, 3000, 10000},
                                                      {"X", 7, 5, 4},
                                                      {"GONE", 0, 0, 0, true},
                                                      {"CAF\xC9.\x80", 0, 1},
                                                      {"A\rB\nC", 0, 1}}))});
  const QStringList expected = {"0|HERO.PAL|no|768|||",
                                "1|RUN.SPR|lzw|3000|10000|70.0%|",
                                "2|X|7|5|4|   0%|",
                                "3|empty record|||||",
                                "4|CAF\u00C9.\u20AC|no|1|||",
                                "5|A\u240DB\u240AC|no|1|||",
                                "||||||"};
  QStringList shown;
  const QAbstractItemModel& model = *Grid(*form).model();
  for (int row = 0; row <= 6; ++row) {
    shown.append("");
    for (int column = 0; column <= 6; ++column) {
      shown.back() += model.index(row, column).data().toString() + (column < 6 ? "|" : "");
    }
  }
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(model.flags(model.index(5, 5)),
            Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
  EXPECT_EQ(model.flags(model.index(6, 0)), Qt::NoItemFlags);
}

TEST(RecordTableModelTest, KeepsTheModelContractAndPublishesEachFilledRowOnce) {
  RecordTableModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
  EXPECT_EQ(model.rowCount(), 0);
  model.ResizeRecords(3);
  model.SetRecordRow(2, {});
  model.ResizeRecords(10);
  EXPECT_EQ(model.index(2, 1).data().toString(), "") << "a new table keeps no cell of the old";
  for (int i = 0; i < 4; ++i) {
    model.SetRecordRow(i, RecordRow{.index = i});
  }
  EXPECT_EQ(changes.count(), 0) << "filling alone tells the view nothing";
  model.PublishFilledRows();
  model.SetRecordRow(4, {});
  model.SetRecordRow(10, {});
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
  // The longest run of empty records fits the 111-pixel name column.
  model.SetRecordRow(9, {.index = 1, .runLength = 2147483647, .kind = RowKind::kEmptyRun});
  const QString run = model.index(9, 1).data().toString();
  EXPECT_EQ(run, "2147483647 empty");
  EXPECT_LE(QFontMetrics(WindowFont()).horizontalAdvance(run), 111 - 2);
}

TEST_F(GridTest, PaintsTheSelectionGridLinesAndHeader) {
  const std::unique_ptr<TForm1> form = Start({Archive("a.spr", 30)});
  QTableView& grid = Grid(*form);
  grid.selectRow(2);
  const QImage image = grid.grab().toImage();
  const QPoint cells = grid.viewport()->mapTo(&grid, QPoint());
  const QPoint header = grid.horizontalHeader()->mapTo(&grid, QPoint());
  const QPalette& colours = grid.palette();
  QStyleOptionViewItem option;
  const QColor line = QColor::fromRgba(
      static_cast<QRgb>(grid.style()->styleHint(QStyle::SH_Table_GridLineColor, &option, &grid)));
  ASSERT_NE(line.name(), colours.color(QPalette::Inactive, QPalette::Base).name());
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
  EXPECT_TRUE(testing::Inked(image, {header + QPoint(2, 2), QSize(40, 13)},
                             colours.color(QPalette::Button)));
  EXPECT_TRUE(testing::Inked(image, {cells + QPoint(54, 2), QSize(40, 13)},
                             colours.color(QPalette::Inactive, QPalette::Base)));
}

}  // namespace
}  // namespace lister::window
