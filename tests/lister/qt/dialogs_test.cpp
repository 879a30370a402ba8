// The modal boxes: the real ones run with QDialog::exec and answered with keys as a user would,
// and the open dialog's filters and memory.
#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "window_test_support.h"

namespace lister::window {
namespace {

using testing::Child;
using DialogsTest = testing::WindowTest;

// Runs `answer` on the modal box that the nested event loop shows next.
void AnswerNextModal(std::function<void(QWidget&)> answer, int triesLeft = 500) {
  QTimer::singleShot(10, [answer = std::move(answer), triesLeft]() mutable {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      answer(*modal);
    } else if (triesLeft > 0) {
      AnswerNextModal(std::move(answer), triesLeft - 1);
    }
  });
}

// Presses `key` on the box and reports whether that closed it; closes it otherwise.
void PressAndWatch(QWidget& box, Qt::Key key, std::optional<bool>& closed) {
  QTest::keyClick(&box, key);
  QTimer::singleShot(50, [watched = QPointer<QWidget>(&box), &closed] {
    closed = watched.isNull() || !watched->isVisible();
    if (!*closed) {
      static_cast<QDialog*>(watched.data())->done(QDialog::Rejected);
    }
  });
}

TEST_F(DialogsTest, TheErrorBoxShowsTextAndClosesWithEnterOrEsc) {
  const std::string markup = dir_.WriteText("<i>x&amp;.spr", "no archive");
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    TForm1 form(reader_);
    form.SetArchivePath(markup);
    std::optional<bool> closed;
    AnswerNextModal([&](QWidget& modal) {
      auto& box = dynamic_cast<QMessageBox&>(modal);
      EXPECT_EQ(box.windowTitle(), "Error");
      EXPECT_EQ(box.text(), "<I>X&AMP;.SPR is not a valid archive file.");
      EXPECT_EQ(box.textFormat(), Qt::PlainText);
      EXPECT_EQ(box.icon(), QMessageBox::Critical);
      ASSERT_EQ(box.buttons().size(), 1);
      EXPECT_EQ(box.buttons().front()->text(), "OK");
      EXPECT_EQ(box.defaultButton(), box.buttons().front());
      EXPECT_TRUE(box.isModal());
      const QPoint off = box.frameGeometry().center() - box.screen()->availableGeometry().center();
      EXPECT_LE(off.manhattanLength(), 2) << "centred on the screen";
      PressAndWatch(box, key, closed);
    });
    form.ListArchive();
    QTest::qWaitFor([&closed] { return closed.has_value(); });
    EXPECT_EQ(closed, std::optional(true)) << key;
  }
}

TEST_F(DialogsTest, TheAboutBoxHoldsItsItemsAndOnlyOkOrTheCloseButtonCloseIt) {
  TForm1 form(reader_);
  for (const bool byCloseButton : {false, true}) {
    std::optional<bool> closedByEsc;
    AnswerNextModal([&](QWidget& modal) {
      auto& box = dynamic_cast<TAboutBox&>(modal);
      const auto px = [&box](int value) {
        return static_cast<int>(std::lround(value * box.logicalDpiY() / 96.0));
      };
      const std::pair<QRect, QRect> places[] = {
          {QRect({}, box.size()), {0, 0, px(298), px(130)}},
          {Child(box, "AboutPanel").geometry(), {px(8), px(8), px(281), px(65)}},
          {Child(box, "ProgramIcon").geometry(), {px(24), px(16), px(33), px(33)}},
          {QRect(Child(box, "ProductName").pos(), QSize(0, 0)), {px(88), px(16), 0, 0}},
          {QRect(Child(box, "Version").pos(), QSize(0, 0)), {px(88), px(40), 0, 0}},
          {Child(box, "OKButton").geometry(), {px(111), px(88), px(75), px(33)}},
      };
      for (const auto& [actual, expected] : places) {
        EXPECT_EQ(actual, expected);
      }
      EXPECT_EQ(box.windowTitle(), "About");
      EXPECT_EQ(box.font().pixelSize(), px(11));
      EXPECT_EQ(Child<QLabel>(box, "ProductName").text(), "Trovanta");
      EXPECT_TRUE(Child(box, "ProductName").font().bold());
      EXPECT_EQ(Child<QLabel>(box, "Copyright").text(), "Copyright \u00A9 Gorblunk tools developers");
      EXPECT_LE(Child(box, "Copyright").geometry().right(), px(281)) << "fits in the panel";
      EXPECT_EQ(Child<QLabel>(box, "ProgramIcon").pixmap().size(), QSize(32, 32));
      EXPECT_TRUE(Child<QPushButton>(box, "OKButton").isDefault());
      QTest::keyClick(&box, Qt::Key_Escape);
      QTimer::singleShot(50, [watched = QPointer<QDialog>(&box), &closedByEsc, byCloseButton] {
        closedByEsc = watched.isNull() || !watched->isVisible();
        if (!watched.isNull()) {
          byCloseButton ? void(watched->close()) : QTest::keyClick(watched.data(), Qt::Key_Return);
        }
      });
    });
    Child<QAction>(form, "e1").trigger();
    EXPECT_EQ(closedByEsc, std::optional(false));
    EXPECT_TRUE(form.findChildren<TAboutBox*>().isEmpty()) << "destroyed once closed";
  }
}

TEST_F(DialogsTest, TheOpenDialogOffersTheArchiveFiltersAndKeepsTheLastChoice) {
  const std::unique_ptr<TForm1> form = Start({});
  const QString chosen = QString::fromStdString(Archive("pal.mix", 2));
  const auto patterns = [](QFileDialog& dialog) {
    return dialog.findChild<QFileSystemModel*>()->nameFilters();
  };
  const QStringList palettes = {"*.mix", "*.lit", "*.llt"};
  const struct {
    int shownFilter;
    QString shownPath;
    std::vector<std::pair<Qt::Key, QStringList>> keys;  // then the patterns in use
    QString answer;
    QString caption;
  } steps[] = {
      {5, "", {{Qt::Key_Up, palettes}, {Qt::Key_Home, {"*"}}, {Qt::Key_End, {"*.spr", "*.map", "*.til", "*.mix", "*.lit", "*.llt", "*.tex"}}, {Qt::Key_Up, palettes}}, chosen, "Trovanta (pal.mix)"},
      {4, chosen, {{Qt::Key_Up, {"*.til"}}}, "", "Trovanta (pal.mix)"},
      {4, chosen, {}, "/" + QString(259, 'x'), "Trovanta (pal.mix)"},
  };
  for (const auto& step : steps) {
    answerOpen_ = [&](QFileDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), "Select an archive file to list");
      EXPECT_EQ(dialog.fileMode(), QFileDialog::AnyFile) << "no existence check";
      QComboBox& filters = Child<QComboBox>(dialog, "fileTypeCombo");
      EXPECT_EQ(filters.currentIndex(), step.shownFilter);
      if (!step.shownPath.isEmpty()) {
        EXPECT_EQ(dialog.selectedFiles().value(0), step.shownPath) << "the last path";
      }
      for (const auto& [key, expected] : step.keys) {
        QTest::keyClick(&filters, key);
        EXPECT_EQ(patterns(dialog), expected);
      }
      dialog.selectFile(step.answer);
      return static_cast<int>(step.answer.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
    };
    Child<QAction>(*form, "Open1").trigger();
    EXPECT_EQ(form->windowTitle(), step.caption);
  }
  QStringList shown;
  answerOpen_ = [&](QFileDialog& dialog) {
    for (int i = 0; i < 6; ++i) {
      shown.append(Child<QComboBox>(dialog, "fileTypeCombo").itemText(i));
    }
    return 0;
  };
  Child<QAction>(*form, "Open1").trigger();
  EXPECT_EQ(shown, (QStringList{"Any file (*.*)", "Sprite group archive (*.spr)", "Brindel  map (*.map)",
                                "Brindel tile group (*.til)", "Palette table (*.mix;*.lit;*.llt)",
                                "Any archive file"}));
  EXPECT_EQ(errors_.size(), 1) << "only the start-up's box: a long path is a cancel";
}

}  // namespace
}  // namespace lister::window
