// The session driven through a window that records what it is asked: the busy gate and the close
// kept for the listing's end, progress, the current row, drops and the open dialog's memory.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "archive/archive_writer.h"
#include "lister/desktop/listing_session.h"
#include "tests/support/temp_dir.h"

namespace {

using lister::DropAnswer;

// Writes a word per call to `log`; `hook` runs in each error box and progress update, as the
// events a window lets through then.
struct RecordingWindow : lister::SessionWindow {
  void ResetTable(const std::function<void()>& resize) override { resize(), log += "reset "; }
  void ShowFilledRows() override { log += "rows "; }
  void SetCaption(const std::string& text) override { caption = text; }
  void SetSummary(const lister::Summary& summary) override { sizes = summary.lines.back(); }
  void ShowError(const std::string&) override { log += "error ", hook ? hook() : void(); }
  void ShowProgress(const std::string& name, std::int64_t total) override {
    log += "show:" + name + ":" + std::to_string(total) + " ";
  }
  void UpdateProgress(std::int64_t done) override {
    log += "update:" + std::to_string(done) + " ", hook ? hook() : void();
  }
  void HideProgress() override { log += "hide "; }
  std::int64_t CurrentGridRow() const override { return current; }
  void PlaceCurrentRow(const lister::CurrentRow& choice) override {
    current = choice.row;
    log += "place:" + std::to_string(choice.row) + (choice.fromTop ? "top " : " ");
  }
  void CloseNow() override { log += "close "; }

  std::string log, caption, sizes;
  std::int64_t current = 0;
  std::function<void()> hook;
};

class SessionTest : public ::testing::Test {
 protected:
  testing_support::TempDir dir;
  archive::ArchiveReader reader;
  RecordingWindow window;
  lister::ListingSession session{reader, window};
};

TEST_F(SessionTest, ListsAndPlacesTheCurrentRowAcrossListings) {
  const std::string fifty = dir.WriteNumbered("fifty.spr", 50);
  EXPECT_TRUE(session.ListChosenPath(fifty));
  EXPECT_EQ(window.log, "reset rows place:1top ");
  EXPECT_EQ(window.caption + " " + std::string(session.Rows().Row(49)->Name()),
            "Trovanta (fifty.spr) R49.SPR");
  window.log.clear();
  session.ListChosenPath(dir.File("missing.spr"));
  EXPECT_EQ(window.log, "error reset rows place:0 ");
}

// While a listing runs every command is refused and a close request is kept for its end, also
// when the listing ends by an exception.
TEST_F(SessionTest, TheBusyGateRefusesCommandsAndCarriesOutACloseAtTheEnd) {
  const std::string many = dir.WriteNumbered("many.spr", 600),
                    other = dir.WriteNumbered("other.spr", 2);
  session.SetProgressDelay(std::chrono::milliseconds(0));
  std::string during;
  window.hook = [&] {
    const bool taken = session.ListChosenPath(other) || session.ListDroppedPath(other) ||
                       session.ListArchive() ||
                       session.AnswerDrop(true, true, 5) != DropAnswer::kRefuse;
    session.SetShowInKB(false);
    during += (taken ? "taken " : "refused ") + window.sizes;
    window.hook = nullptr;
  };
  session.ListChosenPath(other);
  window.log.clear();
  EXPECT_TRUE(session.ListChosenPath(many));
  EXPECT_EQ(during, "refused ") << "no earlier values beside the new rows";
  EXPECT_TRUE(window.log.starts_with("reset show:many.spr:600 rows update:1 ")) << window.log;
  EXPECT_TRUE(window.log.ends_with("update:600 hide rows place:1 ")) << window.log;
  EXPECT_EQ(window.caption + " " + window.sizes, "Trovanta (many.spr) 235 KB (not compressed)");
  EXPECT_EQ(session.LastChoice().path, "") << "a refused drop is not remembered";

  window.hook = [&] { session.RequestClose(), throw std::runtime_error("box"); };
  window.log.clear();
  EXPECT_THROW(session.ListChosenPath(dir.File("missing.spr")), std::runtime_error);
  EXPECT_EQ(window.log, "error close ");
  window.hook = nullptr;
  EXPECT_TRUE(session.ListDroppedPath(other));
  EXPECT_EQ(session.LastChoice().path, other) << "a dropped file is remembered as if chosen";
}

// A cancel or a close request stops the listing before its next record: the rows read stay and
// one row stands for the rest, with no error box; a close is then carried out.
TEST_F(SessionTest, ACancelOrACloseStopsTheListingKeepingTheRowsRead) {
  const std::string many = dir.WriteNumbered("many.spr", 3000);
  session.SetProgressDelay(std::chrono::milliseconds(0));
  for (const bool close : {false, true}) {
    window.log.clear();
    window.hook = [&] {
      close ? void(session.RequestClose()) : session.CancelListing();
      window.hook = nullptr;
    };
    EXPECT_TRUE(session.ListChosenPath(many));
    ASSERT_EQ(session.Rows().Rows(), 2) << close;
    const lister::RecordRow* last = session.Rows().Row(1);
    EXPECT_EQ(std::string(session.Rows().Row(0)->Name()) + " " + std::to_string(last->runLength),
              "R0.SPR 2999");
    EXPECT_EQ(last->kind, lister::RowKind::kNotListed);
    EXPECT_EQ(window.log.find("error"), std::string::npos) << window.log;
    EXPECT_TRUE(window.log.ends_with(close ? "hide reset rows place:1 close "
                                           : "hide reset rows place:1top "))
        << window.log;
    EXPECT_FALSE(session.Busy());
  }
  session.CancelListing();
  EXPECT_TRUE(session.ListChosenPath(many));
  EXPECT_EQ(session.Rows().Rows(), 3000) << "a cancel while idle stops nothing";
}

TEST_F(SessionTest, DropsAreTakenAsACopyOrALinkWhileNoModalBoxIsUp) {
  // Copy and link offered, the path's length, a modal box up, the answer.
  const std::tuple<bool, bool, std::size_t, bool, DropAnswer> cases[] = {
      {true, true, 1, false, DropAnswer::kCopy},     {false, true, 259, false, DropAnswer::kLink},
      {false, false, 9, false, DropAnswer::kRefuse}, {true, true, 0, false, DropAnswer::kRefuse},
      {true, true, 4096, false, DropAnswer::kCopy},  {true, false, 9, true, DropAnswer::kRefuse},
  };
  for (const auto& [copy, link, length, modalUp, answer] : cases) {
    std::optional<lister::ListingSession::ModalScope> modal;
    modalUp ? void(modal.emplace(session)) : void();
    EXPECT_EQ(session.AnswerDrop(copy, link, length), answer) << length;
  }
  EXPECT_EQ(session.AnswerDrop(true, false, 9), DropAnswer::kCopy) << "the modal box closed";
}

}  // namespace
