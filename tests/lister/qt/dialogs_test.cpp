// The modal boxes, run with QDialog::exec and answered with keys as a user would, and the open
// dialog's filters and memory.
#include "window_test_support.h"

namespace lister::window {
namespace {

using testing::AnswerModal;
using testing::Child;
using DialogsTest = testing::WindowTest;

// Whether pressing `key` closed the box; closes it if not.
bool ClosedBy(QDialog& box, Qt::Key key) {
  QTest::keyClick(&box, key);
  const bool closed = !box.isVisible();
  box.done(0);
  return closed;
}

TEST_F(DialogsTest, TheErrorBoxShowsTextAndClosesWithEnterOrEsc) {
  const std::string markup = dir_.WriteText("<i>x&amp;.spr", "no archive");
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space}) {
    TForm1 form(reader_);
    form.SetArchivePath(markup);
    AnswerModal([key](QDialog& modal) {
      auto& box = dynamic_cast<QMessageBox&>(modal);
      EXPECT_EQ(box.objectName() + "|" + box.windowTitle() + "|" + box.text(),
                "ErrorBox|Error|<I>X&AMP;.SPR is not a valid archive file.");
      EXPECT_EQ(box.textFormat(), Qt::PlainText);
      EXPECT_EQ(box.icon(), QMessageBox::Critical);
      EXPECT_EQ(box.buttons().size(), 1);
      EXPECT_EQ(box.defaultButton()->text(), "OK");
      EXPECT_LE(testing::OffCentre(box), 2) << "centred on the screen";
      EXPECT_EQ(ClosedBy(box, key), key != Qt::Key_Space) << key;
    });
    form.ListArchive();
  }
}

TEST_F(DialogsTest, TheErrorBoxWrapsAtHalfTheScreenAlsoInsideALongName) {
  TForm1 form(reader_);
  form.SetArchivePath(dir_.WriteText(std::string(200, 'n') + ".spr", "no archive"));
  AnswerModal([](QDialog& box) {
    const auto& label = Child<QLabel>(box, "qt_msgbox_label");
    const QStringList lines = label.text().split('\n');
    EXPECT_EQ(lines.join("").remove(' '), QString(200, 'N') + ".SPRisnotavalidarchivefile.");
    for (const QString& line : lines) {
      const int width = label.fontMetrics().horizontalAdvance(line);
      EXPECT_LE(width, std::min(label.width(), box.screen()->geometry().width() / 2));
    }
    box.done(0);
  });
  form.ListArchive();
}

TEST_F(DialogsTest, TheAboutBoxHoldsItsItemsAndEscDoesNotCloseIt) {
  TForm1 form(reader_);
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
    EXPECT_LE(testing::OffCentre(box), 2) << "centred on the screen";
    EXPECT_FALSE(ClosedBy(box, Qt::Key_Escape));
  });
  Child<QAction>(form, "e1").trigger();
  AnswerModal([&shown](QDialog& box) { shown += ClosedBy(box, Qt::Key_Return) ? 1 : 0; });
  Child<QAction>(form, "e1").trigger();
  EXPECT_EQ(shown, 2) << "a fresh box each time; Enter presses OK";
  EXPECT_TRUE(form.findChildren<TAboutBox*>().isEmpty()) << "destroyed once closed";
}

TEST_F(DialogsTest, TheOpenDialogOffersTheArchiveFiltersAndKeepsTheLastChoice) {
  const std::unique_ptr<TForm1> form = Start({});
  const QString chosen = QString::fromStdString(Archive("pal.mix", 2));
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
      EXPECT_EQ(filters.currentIndex(), step.filter);
      shown = {dialog.windowTitle(), QString::number(dialog.fileMode()),
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
            (QStringList{"Select an archive file to list", "0", chosen, "1", "Open as &read-only",
                         "Any file (*.*)", "Sprite group archive (*.spr)", "Brindel  map (*.map)",
                         "Brindel tile group (*.til)", "Palette table (*.mix;*.lit;*.llt)",
                         "Any archive file"}));
  EXPECT_EQ(errors_.size(), 1) << "only the start-up's box";
}

}  // namespace
}  // namespace lister::window
