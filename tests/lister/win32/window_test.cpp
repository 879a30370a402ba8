// The Win32 window driven through its messages, its dialogs answered through the seam: the texts
// it shows for good, bad and hostile archives, layout, the unit switch, the current row across
// listings, the open dialog, drops, Esc (not in the menu bar), the error box, the progress.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <filesystem>
#include <thread>

#include "archive_writer.h"
#include "main_window.h"
#include "resource.h"

namespace lister::win32 {
namespace {

using namespace std::string_literals;

LRESULT Send(HWND to, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(to, message, wParam, lParam);
}
std::string Text(HWND window) {
  std::string text(512, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), 512)));
  return text;
}

class Win32Window : public ::testing::Test {
 protected:
  Win32Window() {
    static const bool registered = (RegisterWindowClasses(GetModuleHandleA(nullptr)), true);
    EXPECT_TRUE(registered && std::filesystem::create_directories(dir_));
    seam_.boxShown = [this](HWND box) {
      boxes_.push_back(Text(box).append(": ").append(Text(GetDlgItem(box, IDC_ERRORTEXT))));
      GetWindowRect(box, &boxFrame_);
      onBox_ ? onBox_(box) : void();
      Send(box, WM_COMMAND, IDOK);
    };
    seam_.getOpenFileName = [this](OPENFILENAMEA& request) {
      std::size_t length = 0;  // the list ends with two NULs
      while (request.lpstrFilter[length] != '\0' || request.lpstrFilter[length + 1] != '\0') {
        ++length;
      }
      requests_.push_back(std::string(request.lpstrFilter, length + 2) + request.lpstrTitle + "|" +
                          std::to_string(request.nFilterIndex) + "|" + request.lpstrFile);
      flags_ |= request.Flags | (request.nMaxFile == 260 ? 0 : 1);
      answer_.copy(request.lpstrFile, answer_.size());
      request.lpstrFile[answer_.size()] = '\0';
      request.nFilterIndex = filter_;
      return !answer_.empty();
    };
  }
  ~Win32Window() override {
    form_.reset();
    std::filesystem::remove_all(dir_);
  }
  // Starts the window as the program does, on `path`.
  void Start(const std::string& path) {
    form_ = std::make_unique<TForm1>(reader_, seam_, false);
    form_->SetArchivePath(path);
    form_->PlaceFixedTexts();
    form_->ListArchive();
    form_->Show();
  }
  std::string Write(const std::string& name, const archive::ArchiveImage& image) {
    return image.WriteTo((dir_ / name).string()) ? (dir_ / name).string() : "";
  }
  // An archive of `records` stored records named R0, R1, ...
  std::string Numbered(const std::string& name, int records) {
    std::vector<archive::RecordSpec> specs(static_cast<std::size_t>(records));
    for (int i = 0; i < records; ++i) {
      specs[static_cast<std::size_t>(i)].name = std::string("R").append(std::to_string(i));
    }
    return Write(name, archive::BuildArchive("Numbered", 1, specs));
  }
  // Lists `path` as if chosen in the open dialog with filter `filter` (from 1); "" cancels.
  void Open(const std::string& path, DWORD filter = 6) {
    answer_ = path;
    filter_ = filter;
    Send(form_->Handle(), WM_COMMAND, IDM_OPEN1);
  }
  void Pump() {
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
      if (!form_->PreviewMessage(message)) {
        DispatchMessageA(&message);
      }
    }
  }
  // Row `row`'s six cells with "|" between them.
  std::string Row(int row) const {
    std::string cells;
    for (int column = 0; column < 6; ++column) {
      char text[64] = {};
      LVITEMA item{};
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      Send(form_->Grid(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
           reinterpret_cast<LPARAM>(&item));
      cells += (column > 0 ? "|" : "") + std::string(text);
    }
    return cells;
  }
  int Rows() const { return static_cast<int>(Send(form_->Grid(), LVM_GETITEMCOUNT)); }
  HWND Group() const { return GetDlgItem(form_->Handle(), IDC_GROUPBOX1); }
  std::string Summary() const { return Text(GetDlgItem(Group(), IDC_LABEL2)); }
  void Select(int row) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    Send(form_->Grid(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>(&state));
    state.state = state.stateMask;
    Send(form_->Grid(), LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1),
         reinterpret_cast<LPARAM>(&state));
    Send(form_->Grid(), LVM_SETSELECTIONMARK, 0, row - 1);
  }

  std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                               ("trovanta-" + std::to_string(GetCurrentProcessId()));
  archive::ArchiveReader reader_;
  DialogSeam seam_;
  std::unique_ptr<TForm1> form_;
  std::vector<std::string> boxes_;  // "caption: text" of each box of ours
  RECT boxFrame_{};
  std::function<void(HWND)> onBox_;
  std::vector<std::string> requests_;  // filters, title, filter index and file of each dialog
  DWORD flags_ = 0;                    // of all requests; bit 0: a buffer not of 260
  std::string answer_;
  DWORD filter_ = 6;
};

TEST_F(Win32Window, ListsGoodBadAndHostileArchives) {
  archive::ArchiveImage hostile =
      archive::BuildArchive("Big\rTitle", 1, {{"ONE", archive::kMethodStored, 1}});
  hostile.PutI32(archive::kHeaderRecordCountOffset, INT_MAX);
  const struct {
    std::string path, box, first, last, summary, caption;
  } cases[] = {
      {Write("Good.spr", archive::BuildArchive("Caf\xE9 & co", 3,
                                               {{"A&B.SPR", archive::kMethodStored, 5000},
                                                {"\xC9T\xC9", archive::kMethodLzw, 3000, 10000},
                                                {"GONE", archive::kMethodStored, 0, 0, true}})),
       "", "0|A&B.SPR|no|5000||", "2|empty record||||",
       "Caf\xE9 & co\r3\r3\r15 KB \r8 KB (46.7% gained)", "Trovanta (Good.spr)"},
      {Write("bad.map", {}), "Error: BAD.MAP is not a valid archive file.", "|||||", "|||||",
       "Not an archive file", "Trovanta"},
      {"", "Error: No file specified.", "|||||", "|||||", "Not an archive file", "Trovanta"},
      // The title's CR stays on its line; the run of unreadable entries fits its cell.
      {Write("big.til", hostile), "", "0|ONE|no|1||", "1|2147483646 empty||||",
       "Big\rTitle\r1\r2147483647\r1 KB \r1 KB (not compressed)", "Trovanta (big.til)"},
  };
  for (const auto& c : cases) {
    boxes_.clear();
    Start(c.path);
    EXPECT_EQ(Join(boxes_, ""), c.box);
    EXPECT_EQ(Row(0), c.first);
    EXPECT_EQ(Row(std::max(Rows() - 1, 0)), c.last);
    EXPECT_EQ(Summary(), c.summary);
    EXPECT_EQ(Text(form_->Handle()), c.caption);
  }
}

TEST_F(Win32Window, LayoutHeaderAndWholeRows) {
  Start(Numbered("n.spr", 30));
  EXPECT_EQ(Text(GetDlgItem(Group(), IDC_LABEL1)),
            "Archive title:\rVersion number:\rTotal number of records:\r"
            "Total uncompressed length:\rTotal compressed length:");
  const struct {
    HWND parent;
    int id;
    RECT at;  // left, top, right, bottom in the parent
  } places[] = {{form_->Handle(), 0, {0, 0, 473, 295}},
                {form_->Handle(), IDC_GROUPBOX1, {8, 0, 465, 105}},
                {Group(), IDC_RADIOBUTTON2, {384, 56, 441, 73}},
                {Group(), IDC_RADIOBUTTON1, {384, 80, 441, 97}},
                {form_->Handle(), IDC_STRINGGRID1, {8, 112, 465, 286}}};
  for (const auto& place : places) {
    RECT r{};
    HWND window = place.id == 0 ? place.parent : GetDlgItem(place.parent, place.id);
    place.id == 0 ? GetClientRect(window, &r) : GetWindowRect(window, &r);
    MapWindowPoints(place.id == 0 ? window : nullptr, place.parent, reinterpret_cast<POINT*>(&r),
                    2);
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
              std::vector<LONG>({place.at.left, place.at.top, place.at.right, place.at.bottom}));
  }
  HWND header = reinterpret_cast<HWND>(Send(form_->Grid(), LVM_GETHEADER));
  std::string columns;
  for (int i = 0; i < 6; ++i) {
    RECT cell{};
    char text[32] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    Send(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&cell));
    Send(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    columns +=
        std::to_string(cell.right - cell.left) + "x" + std::to_string(cell.bottom) + text + "|";
  }
  EXPECT_EQ(columns,
            "52x18Number|111x18Record name|52x18Comp.|72x18Comp. Size|"
            "72x18Uncomp. Size|72x18Comp. ratio|");
  // Whole rows of 18 pixels at the top, at the start and at the end of the table.
  for (WPARAM last : {0, 29}) {
    Send(form_->Grid(), LVM_ENSUREVISIBLE, last, FALSE);
    RECT top{}, row{}, grid{};
    Send(form_->Grid(), LVM_GETITEMRECT, Send(form_->Grid(), LVM_GETTOPINDEX),
         reinterpret_cast<LPARAM>(&top));
    Send(form_->Grid(), LVM_GETITEMRECT, last, reinterpret_cast<LPARAM>(&row));
    GetClientRect(form_->Grid(), &grid);
    EXPECT_EQ(std::vector<LONG>({top.top, row.bottom - row.top, row.bottom <= grid.bottom}),
              std::vector<LONG>({18, 18, 1}));
  }
  // The task-bar button is the owner, titled with the product name.
  EXPECT_EQ(GetWindow(form_->Handle(), GW_OWNER), form_->Owner());
  EXPECT_EQ(Text(form_->Owner()), "Trovanta");
}

TEST_F(Win32Window, UnitSwitchChangesOnlyTheSummarySizes) {
  Start(Write("u.spr", archive::BuildArchive("U", 1,
                                             {{"A", archive::kMethodStored, 5000},
                                              {"B", archive::kMethodLzw, 3000, 10000}})));
  const std::string kb = "U\r1\r2\r15 KB \r8 KB (46.7% gained)";
  const std::string bytes = "U\r1\r2\r15000 bytes \r8000 bytes (46.7% gained)";
  const std::pair<int, std::string> clicks[] = {{IDC_RADIOBUTTON1, kb},
                                                {IDC_RADIOBUTTON2, bytes},
                                                {IDC_RADIOBUTTON2, bytes},
                                                {IDC_RADIOBUTTON1, kb}};
  for (const auto& [button, summary] : clicks) {
    Send(GetDlgItem(Group(), button), BM_CLICK);
    EXPECT_EQ(Summary(), summary);
    EXPECT_EQ(Row(1), "1|B|lzw|3000|10000|70.0%");
  }
}

TEST_F(Win32Window, CurrentRowIsPlacedAndScrolledTo) {
  const std::string fifty = Numbered("fifty.spr", 50), ten = Numbered("ten.spr", 10);
  Start(fifty);
  const struct {
    int select;
    std::string path;
    LRESULT current, selected, top;
  } steps[] = {{0, fifty, 1, 1, 0},
               {30, ten, 10, 1, 2},
               {0, fifty, 10, 1, 2},
               {30, fifty, 30, 1, 22},
               {0, Write("bad.spr", {}), 0, 0, 0},
               {0, fifty, 1, 1, 0}};
  for (const auto& step : steps) {
    step.select > 0 ? Select(step.select) : void();
    Open(step.path);
    EXPECT_EQ(
        std::vector<LRESULT>({form_->CurrentGridRow(), Send(form_->Grid(), LVM_GETSELECTEDCOUNT),
                              Send(form_->Grid(), LVM_GETTOPINDEX)}),
        std::vector<LRESULT>({step.current, step.selected, step.top}));
  }
}

TEST_F(Win32Window, OpenDialogAndDropsKeepTheLastChoice) {
  const std::string a = Numbered("a.spr", 2), b = Numbered("b.spr", 3), c = Numbered("c.spr", 4);
  Start(a);
  Open("");
  Open(b, 2);
  Open("");
  Open("C:\\" + std::string(257, 'x'));  // does not fit: a cancel
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + c.size() + 2);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(drop + 1, c.c_str(), c.size());
  GlobalUnlock(memory);
  Send(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory));
  EXPECT_EQ(Text(form_->Handle()) + " " + std::to_string(Rows()), "Trovanta (c.spr) 4");
  Open("");
  const std::string filters =
      "Any file (*.*)\0*.*\0Sprite group archive (*.spr)\0*.spr\0Brindel  map (*.map)\0*.map\0"
      "Brindel tile group (*.til)\0*.til\0Palette table (*.mix;*.lit;*.llt)\0*.mix;*.lit;*.llt\0"
      "Any archive file\0*.spr;*.map;*.til;*.mix;*.lit;*.llt;*.tex\0\0Select an archive file to list|"s;
  EXPECT_EQ(requests_, std::vector<std::string>({filters + "6|", filters + "6|", filters + "2|" + b,
                                                 filters + "2|" + b, filters + "2|" + c}));
  // No existence check; the read-only box shown; 259 characters and the NUL.
  EXPECT_EQ(flags_ & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | 1), 0u);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(Win32Window, EscClosesFromAnyControlButNotInTheAboutBox) {
  for (int control : {IDC_STRINGGRID1, IDC_RADIOBUTTON1}) {
    Start(Numbered("n.spr", 3));
    int aboutStayed = 0;
    onBox_ = [&](HWND box) {
      Send(box, WM_COMMAND, IDCANCEL);  // what Esc sends
      aboutStayed += IsWindowEnabled(form_->Handle()) ? 0 : 1;
    };
    Send(form_->Handle(), WM_COMMAND, IDM_E1);
    Send(form_->Handle(), WM_COMMAND, IDM_E1);
    EXPECT_EQ(aboutStayed, 2);
    PostMessageA(control == IDC_STRINGGRID1 ? form_->Grid() : GetDlgItem(Group(), control),
                 WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(form_->Handle())) << control;
  }
}

// Real key presses through the X server, from another thread: a menu runs a loop of its own. Esc
// in the menu bar or in an open menu only leaves it; the window stays.
TEST_F(Win32Window, EscInTheMenuBarOrAMenuOnlyLeavesIt) {
  const std::vector<BYTE> cases[] = {
      {VK_MENU, VK_ESCAPE}, {VK_MENU, 'F', VK_ESCAPE}, {VK_MENU, 'F', VK_ESCAPE, VK_ESCAPE}};
  for (const auto& keys : cases) {
    Start(Numbered("n.spr", 3));
    SetForegroundWindow(form_->Handle());
    std::atomic<bool> done = false;
    std::thread typist([&, keys = keys] {
      for (BYTE key : keys) {
        Sleep(300);
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
      }
      Sleep(300);
      PostMessageA(form_->Handle(), WM_CANCELMODE, 0, 0);  // a menu left open cannot hang it
      done = true;
    });
    while (!done) {
      Pump();
      Sleep(10);
    }
    typist.join();
    Pump();
    EXPECT_TRUE(IsWindow(form_->Handle())) << keys.size();
  }
}

TEST_F(Win32Window, ErrorBoxWrapsInsideALongWordAtHalfTheScreen) {
  Start(Numbered("n.spr", 1));
  form_->ShowError(std::string(200, 'W').append(".SPR is not a valid archive file."));
  ASSERT_EQ(boxes_.size(), 1u);
  const std::string text = boxes_[0];
  ASSERT_NE(text.find("\r\n"), std::string::npos);
  EXPECT_EQ(text[text.find("\r\n") - 1], 'W');
  std::string joined;  // the blank at a break is dropped, nothing else
  std::copy_if(text.begin(), text.end(), std::back_inserter(joined),
               [](char c) { return c != '\r' && c != '\n' && c != ' '; });
  EXPECT_EQ(joined, std::string("Error:").append(200, 'W').append(".SPRisnotavalidarchivefile."));
  EXPECT_LE(boxFrame_.right - boxFrame_.left, GetSystemMetrics(SM_CXSCREEN) / 2 + 80);
}

TEST_F(Win32Window, LongListingKeepsACloseRequestForItsEnd) {
  Start(Numbered("small.spr", 1));
  form_->SetProgressDelay(std::chrono::milliseconds(0));
  PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
  PostMessageA(form_->Handle(), WM_COMMAND, IDM_OPEN1, 0);  // no second listing meanwhile
  Open(Numbered("many.spr", 3000));
  EXPECT_EQ(requests_.size(), 1u);
  EXPECT_EQ(Row(2999), "2999|R2999|no|0||");
  Pump();
  EXPECT_FALSE(IsWindow(form_->Handle()));
}

}  // namespace
}  // namespace lister::win32
