// The Win32 window driven through its messages: the texts it shows for good, bad and hostile
// archives, the unit switch, the current row across listings, the open dialog, Esc, drops.
#include <shlobj.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <thread>

#include "window_layout.h"
#include "window_test_support.h"

namespace lister::win32::testing {
namespace {

using namespace std::string_literals;

struct ArchiveCase {
  const char* what;
  std::function<std::string(WindowTest&)> make;  // the path to list; "" lists nothing
  std::vector<std::string> boxes;
  int rows;
  std::vector<std::string> row0;  // the first row's six cells
  std::string lastRow1;           // the last row's name cell
  std::string summary;
  std::string caption;
};

class ListingTexts : public WindowTest, public ::testing::WithParamInterface<int> {};

const std::vector<ArchiveCase>& ArchiveCases() {
  static const std::vector<ArchiveCase> cases = {
      {"good",
       [](WindowTest& t) {
         return t.Write("Good.spr",
                        archive::BuildArchive("Caf\xE9 & co", 3,
                                              {{"A&B.SPR", archive::kMethodStored, 5000},
                                               {"\xC9T\xC9.MAP", archive::kMethodLzw, 3000, 10000},
                                               {"GONE", archive::kMethodStored, 0, 0, true}}));
       },
       {},
       3,
       {"0", "A&B.SPR", "no", "5000", "", ""},
       "empty record",
       "Caf\xE9 & co\r3\r3\r15 KB \r8 KB (46.7% gained)",
       "Trovanta (Good.spr)"},
      {"not an archive",
       [](WindowTest& t) { return t.Write("bad.map", archive::ArchiveImage()); },
       {"Error: BAD.MAP is not a valid archive file."},
       0,
       {},
       "",
       "Not an archive file",
       "Trovanta"},
      {"missing",
       [](WindowTest& t) { return (t.dir_ / "none.spr").string(); },
       {"Error: This file does not exist."},
       0,
       {},
       "",
       "Not an archive file",
       "Trovanta"},
      {"no argument",
       [](WindowTest&) { return ""s; },
       {"Error: No file specified."},
       0,
       {},
       "",
       "Not an archive file",
       "Trovanta"},
      {"hostile count",
       [](WindowTest& t) {
         archive::ArchiveImage image;
         archive::HeaderFields header;
         header.version = 2;
         header.recordCount = INT_MAX;
         header.title = "Big\rTitle";
         image.PutHeader(header);
         archive::EntryFields entry;
         entry.dataOffset = 1;
         entry.storedSize = 1;
         entry.name = "ONE";
         image.PutEntry(archive::kHeaderSize, entry);
         return t.Write("big.til", image);
       },
       {},
       2,
       {"0", "ONE", "no", "1", "", ""},
       "2147483646 empty",
       "Big\rTitle\r2\r2147483647\r1 KB \r1 KB (not compressed)",
       "Trovanta (big.til)"},
  };
  return cases;
}

TEST_P(ListingTexts, GridLabelsCaptionAndBoxes) {
  const ArchiveCase& c = ArchiveCases()[static_cast<std::size_t>(GetParam())];
  SCOPED_TRACE(c.what);
  const std::string path = c.make(*this);
  Start(path.empty() ? std::vector<std::string>{} : std::vector<std::string>{path});
  EXPECT_EQ(boxes_, c.boxes);
  ASSERT_EQ(Rows(), c.rows);
  for (std::size_t i = 0; i < c.row0.size(); ++i) {
    EXPECT_EQ(Cell(0, static_cast<int>(i)), c.row0[i]) << i;
  }
  if (c.rows > 0) {
    EXPECT_EQ(Cell(c.rows - 1, 1), c.lastRow1);
  }
  // The summary's lines are kept apart, so a title's own CR is no line of its own.
  const std::string summary = Summary();
  EXPECT_EQ(summary, c.summary);
  EXPECT_EQ(Caption(), c.caption);
}

INSTANTIATE_TEST_SUITE_P(Archives, ListingTexts, ::testing::Range(0, 5));

TEST_F(WindowTest, FixedTextsLayoutAndOwner) {
  Start({Numbered("n.spr", 30)});
  HWND form = form_->Handle();
  EXPECT_EQ(WindowText(GetDlgItem(GetDlgItem(form, IDC_GROUPBOX1), IDC_LABEL1)),
            "Archive title:\rVersion number:\rTotal number of records:\r"
            "Total uncompressed length:\rTotal compressed length:");
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right * 1000 + client.bottom, 473 * 1000 + 295);
  // Each control's place in its parent: left, top, width, height.
  const struct {
    HWND parent;
    int id;
    Box at;
  } places[] = {{form, IDC_GROUPBOX1, {8, 0, 457, 105}},
                {GetDlgItem(form, IDC_GROUPBOX1), IDC_RADIOBUTTON2, {384, 56, 57, 17}},
                {GetDlgItem(form, IDC_GROUPBOX1), IDC_RADIOBUTTON1, {384, 80, 57, 17}},
                {form, IDC_STRINGGRID1, {8, 112, 457, 174}}};
  for (const auto& place : places) {
    RECT r{};
    GetWindowRect(GetDlgItem(place.parent, place.id), &r);
    MapWindowPoints(nullptr, place.parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
              std::vector<LONG>({place.at.left, place.at.top, place.at.width, place.at.height}))
        << place.id;
  }
  HWND header = reinterpret_cast<HWND>(SendMessageA(form_->Grid(), LVM_GETHEADER, 0, 0));
  for (int i = 0; i < 6; ++i) {
    RECT cell{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&cell));
    char text[32] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::to_string(cell.right - cell.left) + " " + text,
              std::to_string(kColumnWidths[static_cast<std::size_t>(i)]) + " " +
                  std::string(kHeaderTexts[static_cast<std::size_t>(i)]));
    EXPECT_EQ(cell.bottom - cell.top, 18);
  }
  // Whole rows at the top, at the start and at the end of the table.
  for (int last : {0, 29}) {
    SendMessageA(form_->Grid(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(last), FALSE);
    RECT row{}, grid{}, top{};  // left: LVIR_BOUNDS, 0
    const auto topIndex = SendMessageA(form_->Grid(), LVM_GETTOPINDEX, 0, 0);
    SendMessageA(form_->Grid(), LVM_GETITEMRECT, topIndex, reinterpret_cast<LPARAM>(&top));
    SendMessageA(form_->Grid(), LVM_GETITEMRECT, static_cast<WPARAM>(last),
                 reinterpret_cast<LPARAM>(&row));
    GetClientRect(form_->Grid(), &grid);
    EXPECT_EQ(top.top, 18) << last;
    EXPECT_EQ(row.bottom - row.top, 18);
    EXPECT_LE(row.bottom, grid.bottom) << last;
  }
  // The task-bar button is the owner, titled with the product name.
  EXPECT_EQ(GetWindow(form, GW_OWNER), form_->Owner());
  EXPECT_EQ(WindowText(form_->Owner()), "Trovanta");
}

TEST_F(WindowTest, UnitSwitchChangesOnlyTheSummarySizes) {
  Start({Write("u.spr", archive::BuildArchive("U", 1,
                                              {{"A", archive::kMethodStored, 5000},
                                               {"B", archive::kMethodLzw, 3000, 10000}}))});
  HWND group = GetDlgItem(form_->Handle(), IDC_GROUPBOX1);
  const struct {
    int button;
    const char* summary;
  } clicks[] = {{IDC_RADIOBUTTON1, "U\r1\r2\r15 KB \r8 KB (46.7% gained)"},
                {IDC_RADIOBUTTON2, "U\r1\r2\r15000 bytes \r8000 bytes (46.7% gained)"},
                {IDC_RADIOBUTTON2, "U\r1\r2\r15000 bytes \r8000 bytes (46.7% gained)"},
                {IDC_RADIOBUTTON1, "U\r1\r2\r15 KB \r8 KB (46.7% gained)"}};
  for (const auto& click : clicks) {
    SendMessageA(GetDlgItem(group, click.button), BM_CLICK, 0, 0);
    EXPECT_EQ(Summary(), click.summary);
    EXPECT_EQ(Cell(1, 4), "10000");
  }
}

TEST_F(WindowTest, CurrentRowAcrossListings) {
  const std::string fifty = Numbered("fifty.spr", 50), ten = Numbered("ten.spr", 10),
                    none = Numbered("none.spr", 0), bad = Write("bad.spr", {});
  Start({fifty});
  EXPECT_EQ(form_->CurrentGridRow(), 1);
  const struct {
    int select;  // the row made current first, 0 for none
    std::string path;
    int current;
  } steps[] = {{30, ten, 10}, {0, fifty, 10}, {30, fifty, 30}, {0, bad, 0},
               {0, fifty, 1}, {5, none, 0},   {0, ten, 1}};
  for (const auto& step : steps) {
    if (step.select > 0) {
      LVITEMA state{};
      state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(form_->Grid(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&(state.state = 0, state)));
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(form_->Grid(), LVM_SETITEMSTATE, static_cast<WPARAM>(step.select - 1),
                   reinterpret_cast<LPARAM>(&state));
      SendMessageA(form_->Grid(), LVM_SETSELECTIONMARK, 0, step.select - 1);
    }
    Open(step.path);
    EXPECT_EQ(form_->CurrentGridRow(), step.current) << step.path;
    EXPECT_EQ(SendMessageA(form_->Grid(), LVM_GETSELECTEDCOUNT, 0, 0), step.current > 0 ? 1 : 0);
    if (step.current == 1) {
      EXPECT_EQ(SendMessageA(form_->Grid(), LVM_GETTOPINDEX, 0, 0), 0);
    }
  }
}

TEST_F(WindowTest, OpenDialogFiltersPathAndCancel) {
  const std::string a = Numbered("a.spr", 2), b = Numbered("b.spr", 3);
  Start({a});
  Open("");  // cancelled: nothing changes
  Open(b, 2);
  Open("");
  Open(a, 4);
  ASSERT_EQ(requests_.size(), 4u);
  const std::string filters =
      "Any file (*.*)\0*.*\0Sprite group archive (*.spr)\0*.spr\0Brindel  map (*.map)\0*.map\0"
      "Brindel tile group (*.til)\0*.til\0Palette table (*.mix;*.lit;*.llt)\0*.mix;*.lit;*.llt\0"
      "Any archive file\0*.spr;*.map;*.til;*.mix;*.lit;*.llt;*.tex\0"s;
  // Filter and path of the last confirmed choice; the first use: the sixth filter, no path.
  const std::vector<std::pair<DWORD, std::string>> shown = {{6, ""}, {6, ""}, {2, b}, {2, b}};
  for (std::size_t i = 0; i < requests_.size(); ++i) {
    EXPECT_EQ(requests_[i].filter, filters);
    EXPECT_EQ(std::make_pair(requests_[i].filterIndex, requests_[i].file), shown[i]) << i;
    EXPECT_EQ(requests_[i].title, "Select an archive file to list");
    EXPECT_EQ(requests_[i].flags & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY), 0u);
    EXPECT_EQ(requests_[i].maxFile, 260u);
  }
  EXPECT_EQ(Caption(), "Trovanta (a.spr)");
  EXPECT_EQ(Rows(), 2);
  // A path of 260 characters does not fit and counts as a cancel.
  Open("C:\\" + std::string(257, 'x'));
  EXPECT_EQ(Caption(), "Trovanta (a.spr)");
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(WindowTest, DropListsAndIsRememberedForTheDialog) {
  const std::string a = Numbered("a.spr", 2), b = Numbered("b.spr", 4);
  Start({a});
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + b.size() + 2);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(drop + 1), b.c_str(), b.size());
  GlobalUnlock(memory);
  SendMessageA(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_EQ(Caption(), "Trovanta (b.spr)");
  EXPECT_EQ(Rows(), 4);
  Open("");
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].file, b);
}

TEST_F(WindowTest, EscClosesFromAnyControlButNotInsideTheAboutBox) {
  for (int control : {IDC_STRINGGRID1, IDC_RADIOBUTTON1, 0}) {
    Start({Numbered("n.spr", 3)});
    int aboutOpen = 0;
    onBox_ = [&](HWND box) {
      SendMessageA(box, WM_COMMAND, IDCANCEL, 0);  // what Esc sends
      aboutOpen += IsWindowEnabled(form_->Handle()) ? 0 : 1;
    };
    SendMessageA(form_->Handle(), WM_COMMAND, IDM_E1, 0);
    SendMessageA(form_->Handle(), WM_COMMAND, IDM_E1, 0);
    EXPECT_EQ(aboutOpen, 2);
    EXPECT_EQ(boxes_.size(), 2u);
    onBox_ = nullptr;
    boxes_.clear();
    HWND target = control == IDC_STRINGGRID1 ? form_->Grid()
                  : control == 0             ? form_->Handle()
                                 : GetDlgItem(GetDlgItem(form_->Handle(), IDC_GROUPBOX1), control);
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(form_->Handle())) << control;
  }
}

// Real key presses through the X server, from another thread: the menu runs a loop of its own.
// Alt alone, then Esc, closes; Esc in an open menu only closes the menu.
TEST_F(WindowTest, EscOnTheMenuBar) {
  const struct {
    std::vector<WORD> keys;
    bool open;
  } cases[] = {{{VK_MENU, VK_ESCAPE}, false},
               {{VK_MENU, 'F', VK_ESCAPE}, true},
               {{VK_MENU, 'F', VK_ESCAPE, VK_ESCAPE}, false}};
  for (const auto& c : cases) {
    Start({Numbered("n.spr", 3)});
    SetForegroundWindow(form_->Handle());
    SetFocus(form_->Grid());
    std::atomic<bool> done = false;
    std::thread typist([&] {
      for (WORD key : c.keys) {
        Sleep(300);
        keybd_event(static_cast<BYTE>(key), 0, 0, 0);
        keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
      }
      Sleep(300);
      // A menu left open (keys that went elsewhere) ends, so that the test cannot hang.
      PostMessageA(form_->Handle(), WM_CANCELMODE, 0, 0);
      done = true;
    });
    while (!done) {
      Pump();
      Sleep(10);
    }
    typist.join();
    Pump();
    EXPECT_EQ(IsWindow(form_->Handle()) != FALSE, c.open) << c.keys.size();
  }
}

TEST_F(WindowTest, ErrorBoxWrapsALongNameInsideTheWord) {
  Start({Numbered("n.spr", 1)});
  form_->ShowError(std::string(200, 'W').append(".SPR is not a valid archive file."));
  ASSERT_EQ(boxes_.size(), 1u);
  // Broken inside the long word; the blank at a break is dropped, nothing else.
  const std::string text = boxes_[0];
  ASSERT_NE(text.find("\r\n"), std::string::npos);
  EXPECT_EQ(text[text.find("\r\n") - 1], 'W');
  std::string joined;
  std::copy_if(text.begin(), text.end(), std::back_inserter(joined),
               [](char c) { return c != '\r' && c != '\n' && c != ' '; });
  EXPECT_EQ(joined, std::string("Error:").append(200, 'W').append(".SPRisnotavalidarchivefile."));
  EXPECT_LE(boxFrames_[0].right - boxFrames_[0].left, GetSystemMetrics(SM_CXSCREEN) / 2 + 80);
}

TEST_F(WindowTest, LongListingShowsProgressAndKeepsACloseRequestForItsEnd) {
  Start({Numbered("small.spr", 1)});
  form_->SetProgressDelay(std::chrono::milliseconds(0));
  PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
  PostMessageA(form_->Handle(), WM_COMMAND, IDM_OPEN1, 0);  // no second listing meanwhile
  Open(Numbered("many.spr", 3000));
  EXPECT_EQ(requests_.size(), 1u);
  EXPECT_EQ(Rows(), 3000);
  EXPECT_EQ(Cell(2999, 1), "R2999.SPR");
  Pump();
  EXPECT_FALSE(IsWindow(form_->Handle()));
}

}  // namespace
}  // namespace lister::win32::testing
