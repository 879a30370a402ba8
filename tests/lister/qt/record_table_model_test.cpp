#include "record_table_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <array>
#include <string>

namespace lister::window {
namespace {

// Collects what QAbstractItemModelTester reports, so that a broken model contract fails the
// test instead of aborting the run.
class ModelWarnings {
 public:
  ModelWarnings() { previous_ = qInstallMessageHandler(&ModelWarnings::Handle); }
  ~ModelWarnings() { qInstallMessageHandler(previous_); }
  static QStringList& Messages() {
    static QStringList messages;
    return messages;
  }

 private:
  static void Handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg) {
      Messages().append(message);
    }
  }
  QtMessageHandler previous_;
};

RecordRow Record(std::int32_t index, std::string_view name, std::uint8_t method,
                 std::int32_t stored, std::int32_t length) {
  RecordRow row;
  row.index = index;
  row.kind = RowKind::kRecord;
  row.SetName(name);
  row.method = method;
  row.storedSize = stored;
  row.compressed = archive::IsCompressed(method, stored);
  row.lengthKnown = row.compressed;
  row.uncompressedLength = length;
  return row;
}

QStringList RowTexts(const RecordTableModel& model, int row) {
  QStringList texts;
  for (int column = 0; column < model.columnCount(); ++column) {
    texts.append(model.index(row, column).data().toString());
  }
  return texts;
}

TEST(RecordTableModelTest, KeepsTheItemModelContractThroughListings) {
  ModelWarnings::Messages().clear();
  ModelWarnings warnings;
  RecordTableModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  for (const int rows : {3, 0, 5, 1}) {
    model.ResizeRecords(rows);
    for (int i = 0; i < rows; ++i) {
      model.SetRecordRow(i, Record(i, "A.SPR", 0, 10, 0));
      if (i == 1) {
        model.PublishFilledRows();
      }
    }
    model.PublishFilledRows();
  }
  EXPECT_TRUE(ModelWarnings::Messages().isEmpty())
      << ModelWarnings::Messages().join('\n').toStdString();
}

struct CellCase {
  const char* what;
  RecordRow row;
  std::array<const char*, kColumnCount> cells;
};

RecordRow EmptyRun(std::int32_t first, std::int32_t length) {
  RecordRow row;
  row.kind = RowKind::kEmptyRun;
  row.index = first;
  row.runLength = length;
  return row;
}

RecordRow EmptySlot(std::int32_t index) {
  RecordRow row;
  row.index = index;
  return row;
}

TEST(RecordTableModelTest, FormatsEachCellWhenAsked) {
  const std::vector<CellCase> cases = {
      {"stored", Record(0, "HERO.PAL", 0, 768, 0), {"0", "HERO.PAL", "no", "768", "", ""}},
      {"compressed",
       Record(1, "RUN.SPR", 1, 3000, 10000),
       {"1", "RUN.SPR", "lzw", "3000", "10000", "70.0%"}},
      {"other method", Record(2, "X", 7, 5, 4), {"2", "X", "7", "5", "4", "   0%"}},
      {"empty slot", EmptySlot(3), {"3", "empty record", "", "", "", ""}},
      {"run of empty records", EmptyRun(4, 5000), {"4", "5000 empty records", "", "", "", ""}},
      {"Windows-1252 name",
       Record(5, "CAF\xC9.\x80", 0, 1, 0),
       {"5", "CAF\xC3\x89.\xE2\x82\xAC", "no", "1", "", ""}},
      {"control characters",
       Record(6, "A\rB\nC", 0, 1, 0),
       {"6",
        "A\xE2\x90\x8D"
        "B\xE2\x90\x8A"
        "C",
        "no", "1", "", ""}},
  };
  RecordTableModel model;
  model.ResizeRecords(static_cast<std::int64_t>(cases.size()));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    model.SetRecordRow(static_cast<std::int64_t>(i), cases[i].row);
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    QStringList expected;
    for (const char* cell : cases[i].cells) {
      expected.append(QString::fromUtf8(cell));
    }
    EXPECT_EQ(RowTexts(model, static_cast<int>(i)), expected) << cases[i].what;
  }
}

TEST(RecordTableModelTest, RowsNotYetFilledAreEmptyAndNoRowIsEditable) {
  RecordTableModel model;
  model.ResizeRecords(4);
  model.SetRecordRow(0, Record(0, "A", 0, 1, 0));
  ASSERT_EQ(model.rowCount(), 4);
  EXPECT_EQ(RowTexts(model, 3), QStringList(6, QString()));
  for (const int row : {0, 3}) {
    const Qt::ItemFlags flags = model.flags(model.index(row, 1));
    EXPECT_TRUE(flags.testFlag(Qt::ItemIsSelectable));
    EXPECT_FALSE(flags.testFlag(Qt::ItemIsEditable));
  }
}

TEST(RecordTableModelTest, ANewTableDropsEveryCellOfTheOldOne) {
  RecordTableModel model;
  model.ResizeRecords(2);
  model.SetRecordRow(0, Record(0, "OLD", 1, 50, 100));
  model.SetRecordRow(1, Record(1, "OLD2", 0, 9, 0));
  model.ResizeRecords(3);
  model.SetRecordRow(0, EmptySlot(0));
  EXPECT_EQ(RowTexts(model, 0), (QStringList{"0", "empty record", "", "", "", ""}));
  EXPECT_EQ(RowTexts(model, 1), QStringList(6, QString()));
}

TEST(RecordTableModelTest, PublishesEachFilledRowOnce) {
  RecordTableModel model;
  QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
  model.ResizeRecords(10);
  for (int i = 0; i < 4; ++i) {
    model.SetRecordRow(i, EmptySlot(i));
  }
  EXPECT_EQ(changes.count(), 0) << "filling alone tells the view nothing";
  model.PublishFilledRows();
  model.SetRecordRow(4, EmptySlot(4));
  model.PublishFilledRows();
  model.PublishFilledRows();
  ASSERT_EQ(changes.count(), 2);
  const auto range = [&](int i) {
    return std::pair(changes[i][0].value<QModelIndex>().row(),
                     changes[i][1].value<QModelIndex>().row());
  };
  EXPECT_EQ(range(0), std::pair(0, 3));
  EXPECT_EQ(range(1), std::pair(4, 4));
  EXPECT_EQ(changes[1][1].value<QModelIndex>().column(), 5);
}

}  // namespace
}  // namespace lister::window
