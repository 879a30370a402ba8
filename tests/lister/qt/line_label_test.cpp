#include "line_label.h"

#include <gtest/gtest.h>

namespace lister::window {
namespace {

TEST(LineLabelTest, SplitsAtCarriageReturnsAndSizesToItsText) {
  LineLabel label;
  label.SetText(QStringLiteral("short\rthe longest line\rmid"));
  ASSERT_EQ(label.Lines(), (QStringList{"short", "the longest line", "mid"}));
  EXPECT_EQ(label.height(), 3 * kLabelLineHeight);
  EXPECT_EQ(label.width(), label.fontMetrics().horizontalAdvance("the longest line"));
}

TEST(LineLabelTest, ShowsEveryLineLiterallyOnOneLine) {
  struct Case {
    QString given;
    QString shown;
  };
  const Case cases[] = {
      {"Tom & Jerry", "Tom & Jerry"},
      {"A\nB", QString::fromUtf8("A\xE2\x90\x8A"
                                 "B")},
      {"A\rB", QString::fromUtf8("A\xE2\x90\x8D"
                                 "B")},
      {QString("A") + QChar(0) + "B", QString::fromUtf8("A\xE2\x90\x80"
                                                        "B")},
      {"A\x7F", QString::fromUtf8("A\xE2\x90\xA1")},
  };
  for (const Case& c : cases) {
    LineLabel label;
    label.SetLines({c.given, "second"});
    EXPECT_EQ(label.Lines(), (QStringList{c.shown, "second"})) << c.given.toStdString();
    EXPECT_EQ(label.height(), 2 * kLabelLineHeight) << "the next line keeps its place";
  }
}

}  // namespace
}  // namespace lister::window
