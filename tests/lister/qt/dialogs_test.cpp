// The real modal boxes, run with QDialog::exec and answered with key presses, as a user would.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "about.h"
#include "main_window.h"
#include "temp_dir.h"
#include "window_test_support.h"

namespace lister::window {
namespace {

using testing::AnswerNextModal;
using testing::Child;

// Presses `key` on the modal box and then checks, once events have run, whether it closed;
// a box that stays open is closed here so that the test fails instead of hanging.
void PressAndWatch(QWidget& box, Qt::Key key, bool& closed) {
  QPointer<QWidget> watched(&box);
  QTest::keyClick(&box, key);
  QTimer::singleShot(50, [watched, &closed] {
    closed = watched.isNull() || !watched->isVisible();
    if (!closed) {
      static_cast<QDialog*>(watched.data())->done(QDialog::Rejected);
    }
  });
}

TEST(ErrorBoxTest, OneOkButtonThatEnterAndEscBothPress) {
  archive::ArchiveReader reader;
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    TForm1 form(reader);
    form.PlaceFixedTexts();
    bool seen = false;
    bool closed = false;
    AnswerNextModal([&](QWidget& modal) {
      auto* box = qobject_cast<QMessageBox*>(&modal);
      ASSERT_NE(box, nullptr);
      seen = true;
      EXPECT_EQ(box->windowTitle(), "Error");
      EXPECT_EQ(box->text(), "No file specified.");
      EXPECT_EQ(box->icon(), QMessageBox::Critical);
      ASSERT_EQ(box->buttons().size(), 1);
      EXPECT_EQ(box->buttons().front()->text(), "OK");
      EXPECT_EQ(box->defaultButton(), box->buttons().front());
      EXPECT_TRUE(box->isModal());
      const QPoint offCentre =
          box->frameGeometry().center() - box->screen()->availableGeometry().center();
      EXPECT_LE(offCentre.manhattanLength(), 2) << "centred on the screen";
      PressAndWatch(*box, key, closed);
    });
    form.ListArchive();
    QTest::qWait(100);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(closed) << "key " << key;
    EXPECT_EQ(form.Listing().SummaryText(), "Not an archive file");
  }
}

TEST(ErrorBoxTest, ShowsMarkupInANameAsText) {
  archive::ArchiveReader reader;
  testing_support::TempDir dir;
  TForm1 form(reader);
  form.SetArchivePath(dir.WriteText("<i>x&amp;.spr", "no archive"));
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  AnswerNextModal([&](QWidget& modal) {
    auto& box = static_cast<QMessageBox&>(modal);
    text = box.text();
    format = box.textFormat();
    box.done(QMessageBox::Ok);
  });
  form.ListArchive();
  EXPECT_EQ(text, "<I>X&AMP;.SPR is not a valid archive file.");
  EXPECT_EQ(format, Qt::PlainText);
}

TEST(AboutBoxTest, OpensFreshEachTimeAndOnlyOkOrTheCloseButtonCloseIt) {
  archive::ArchiveReader reader;
  TForm1 form(reader);
  QPointer<QWidget> first;
  struct Step {
    bool byCloseButton;
  };
  for (const Step step : {Step{false}, Step{true}}) {
    QPointer<QWidget> shown;
    bool escIgnored = false;
    AnswerNextModal([&](QWidget& modal) {
      shown = &modal;
      ASSERT_NE(qobject_cast<TAboutBox*>(&modal), nullptr);
      QTest::keyClick(&modal, Qt::Key_Escape);
      QTimer::singleShot(50, [&, step] {
        escIgnored = shown && shown->isVisible();
        if (step.byCloseButton) {
          shown->close();
        } else {
          QTest::keyClick(shown.data(), Qt::Key_Return);
        }
      });
    });
    Child<QAction>(form, "e1").trigger();
    EXPECT_TRUE(escIgnored);
    EXPECT_TRUE(shown.isNull()) << "destroyed once closed";
    EXPECT_TRUE(form.findChildren<TAboutBox*>().isEmpty());
  }
}

TEST(AboutBoxTest, HoldsItsItemsAtTheirPlaces) {
  TAboutBox box(nullptr);
  const double scale = box.logicalDpiY() / 96.0;
  const auto px = [scale](int value) { return static_cast<int>(std::lround(value * scale)); };
  EXPECT_EQ(box.windowTitle(), "About");
  EXPECT_EQ(box.size(), QSize(px(298), px(130)));
  EXPECT_EQ(Child<QWidget>(box, "AboutPanel").geometry(), QRect(px(8), px(8), px(281), px(65)));
  const QLabel& icon = Child<QLabel>(box, "ProgramIcon");
  EXPECT_EQ(icon.geometry(), QRect(px(24), px(16), px(33), px(33)));
  EXPECT_EQ(icon.pixmap().size(), QSize(32, 32));
  EXPECT_TRUE(icon.hasScaledContents());
  const QLabel& name = Child<QLabel>(box, "ProductName");
  EXPECT_EQ(name.text(), "Trovanta");
  EXPECT_TRUE(name.font().bold());
  EXPECT_EQ(name.pos(), QPoint(px(88), px(16)));
  const QLabel& copyright = Child<QLabel>(box, "Copyright");
  EXPECT_FALSE(copyright.text().isEmpty());
  EXPECT_FALSE(copyright.text().contains('\n'));
  EXPECT_LE(copyright.geometry().right(), px(281)) << "fits in the panel";
  EXPECT_TRUE(Child<QLabel>(box, "Version").text().isEmpty());
  const QPushButton& ok = Child<QPushButton>(box, "OKButton");
  EXPECT_EQ(ok.text(), "OK");
  EXPECT_TRUE(ok.isDefault());
  EXPECT_EQ(ok.geometry(), QRect(px(111), px(88), px(75), px(33)));
}

}  // namespace
}  // namespace lister::window
