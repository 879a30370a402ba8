// The Win32 window driven through its messages, its dialogs answered through the seam: the texts
// it shows for good, bad and hostile archives, the unit switch, the error box, layout, the current
// row across listings, the open dialog, drops, Esc (not in a menu or the about box), the progress.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <future>

#include "archive/archive_writer.h"
#include "lister/win32/main_window.h"
#include "lister/win32/resource.h"

namespace lister::win32 {
namespace {

using namespace std::string_literals;

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
      SendMessageA(box, WM_COMMAND, IDOK, 0);
    };
    seam_.getOpenFileName = [this](OPENFILENAMEA& request) {
      std::size_t length = 0;  // the list ends with two NULs
      while (request.lpstrFilter[length] != '\0' || request.lpstrFilter[length + 1] != '\0') {
        ++length;
      }
      requests_.push_back(std::string(request.lpstrFilter, length + 2) +
                          std::to_string(request.Flags & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY)) +
                          "|" + std::to_string(request.nMaxFile) + "|" + request.lpstrTitle + "|" +
                          std::to_string(request.nFilterIndex) + "|" + request.lpstrFile);
      // A cancel leaves the buffer alone; an answer longer than it fills it with no NUL.
      (answer_ + '\0').copy(request.lpstrFile, answer_.empty() ? 0 : request.nMaxFile);
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
    std::vector<archive::RecordSpec> specs;
    for (int i = 0; i < records; ++i) {
      specs.push_back({"R" + std::to_string(i)});
    }
    return Write(name, archive::BuildArchive("Numbered", 1, specs));
  }
  // Lists `path` as if chosen in the open dialog with filter `filter` (from 1); "" cancels.
  void Open(const std::string& path, DWORD filter = 6) {
    answer_ = path;
    filter_ = filter;
    SendMessageA(form_->Handle(), WM_COMMAND, IDM_OPEN1, 0);
  }
  void Pump() {
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
      form_->PreviewMessage(message) || DispatchMessageA(&message);
    }
  }
  // Row `row`'s six cells with "|" between them.
  std::string Row(int row) const {
    std::string cells;
    for (int column = 0; column < 6; ++column) {
      char text[64] = {};
      ListView_GetItemText(form_->Grid(), row, column, text, sizeof text);
      cells += (column > 0 ? "|" : "") + std::string(text);
    }
    return cells;
  }
  HWND Group() const { return GetDlgItem(form_->Handle(), IDC_GROUPBOX1); }
  std::string Summary() const { return Text(GetDlgItem(Group(), IDC_LABEL2)); }

  std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                               ("trovanta-" + std::to_string(GetCurrentProcessId()));
  archive::ArchiveReader reader_;
  DialogSeam seam_;
  std::unique_ptr<TForm1> form_;
  std::vector<std::string> boxes_;  // "caption: text" of each box of ours
  RECT boxFrame_{};
  std::function<void(HWND)> onBox_;
  // Per dialog: filters, the flags that must stay clear, buffer size, title, filter index, file.
  std::vector<std::string> requests_;
  std::string answer_;
  DWORD filter_ = 6;
};

TEST_F(Win32Window, ListsGoodBadAndHostileArchivesSwitchesUnitsAndWrapsTheErrorBox) {
  archive::ArchiveImage hostile =
      archive::BuildArchive("Big\rTitle", 1, {{"ONE", archive::kMethodStored, 1}});
  hostile.PutI32(archive::kHeaderRecordCountOffset, 2147483647);
  const struct {
    std::string path, box, first, last, summary, caption;
  } cases[] = {
      {Write("bad.map", {}), "Error: BAD.MAP is not a valid archive file.", "|||||", "|||||",
       "Not an archive file", "Trovanta"},
      {"", "Error: No file specified.", "|||||", "|||||", "Not an archive file", "Trovanta"},
      // The title's CR stays on its line; the run of unreadable entries fits its cell.
      {Write("big.til", hostile), "", "0|ONE|no|1||", "1|2147483646 empty||||",
       "Big\rTitle\r1\r2147483647\r1 KB \r1 KB (not compressed)", "Trovanta (big.til)"},
      {Write("Good.spr", archive::BuildArchive("Caf\xE9 & co", 3,
                                               {{"A&B.SPR", archive::kMethodStored, 5000},
                                                {"\xC9T\xC9", archive::kMethodLzw, 3000, 10000},
                                                {"GONE", archive::kMethodStored, 0, 0, true}})),
       "", "0|A&B.SPR|no|5000||", "2|empty record||||",
       "Caf\xE9 & co\r3\r3\r15 KB \r8 KB (46.7% gained)", "Trovanta (Good.spr)"},
  };
  for (const auto& c : cases) {
    boxes_.clear();
    Start(c.path);
    EXPECT_EQ(Join(boxes_, ""), c.box);
    EXPECT_EQ(Row(0), c.first);
    EXPECT_EQ(Row(std::max(ListView_GetItemCount(form_->Grid()) - 1, 0)), c.last);
    EXPECT_EQ(Summary(), c.summary);
    EXPECT_EQ(Text(form_->Handle()), c.caption);
  }
  // On the good archive: a click on the chosen unit changes nothing; the table stays in bytes.
  const std::string kb = "Caf\xE9 & co\r3\r3\r15 KB \r8 KB (46.7% gained)";
  const std::string bytes = "Caf\xE9 & co\r3\r3\r15000 bytes \r8000 bytes (46.7% gained)";
  for (int button :
       {IDC_RADIOBUTTON1, IDC_RADIOBUTTON2, IDC_RADIOBUTTON1, IDC_RADIOBUTTON2, IDC_RADIOBUTTON2}) {
    SendMessageA(GetDlgItem(Group(), button), BM_CLICK, 0, 0);
    EXPECT_EQ(Summary(), button == IDC_RADIOBUTTON1 ? kb : bytes);
  }
  EXPECT_EQ(Row(1), "1|\xC9T\xC9|lzw|3000|10000|70.0%");
  // The error box breaks inside a long word, at half the screen; only the blank at a break goes.
  form_->ShowError(std::string(200, 'W').append(".SPR is not a valid archive file."));
  std::string text = Join(boxes_, "|");
  EXPECT_EQ(text.find("\r\n"), text.find("W\r\n") + 1);
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n' || c == ' '; });
  EXPECT_EQ(text, std::string("Error:").append(200, 'W').append(".SPRisnotavalidarchivefile."));
  EXPECT_NEAR(boxFrame_.right - boxFrame_.left, GetSystemMetrics(SM_CXSCREEN) / 2 + 40, 40);
}

TEST_F(Win32Window, LayoutAndTheCurrentRowAcrossListings) {
  const std::string fifty = Numbered("fifty.spr", 50), ten = Numbered("ten.spr", 10),
                    bad = Write("bad.spr", {});
  Start(fifty);
  const HWND grid = form_->Grid();
  EXPECT_EQ(Text(GetDlgItem(Group(), IDC_LABEL1)),
            "Archive title:\rVersion number:\rTotal number of records:\r"
            "Total uncompressed length:\rTotal compressed length:");
  RECT r{};
  GetClientRect(form_->Handle(), &r);
  // The client size, the places of the controls in their parents, the header's cells.
  std::string places = std::to_string(r.right) + "x" + std::to_string(r.bottom);
  for (HWND control : {Group(), GetDlgItem(Group(), IDC_RADIOBUTTON2),
                       GetDlgItem(Group(), IDC_RADIOBUTTON1), grid}) {
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    places += " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
              std::to_string(r.right) + "," + std::to_string(r.bottom);
  }
  for (int i = 0; i < 6; ++i) {
    char text[32] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    Header_GetItemRect(ListView_GetHeader(grid), i, &r);
    Header_GetItem(ListView_GetHeader(grid), i, &item);
    places += " " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom) + text;
  }
  EXPECT_EQ(places,
            "473x295 8,0,465,105 384,56,441,73 384,80,441,97 8,112,465,286 52x18Number "
            "111x18Record name 52x18Comp. 72x18Comp. Size 72x18Uncomp. Size 72x18Comp. ratio");
  // Scrolled to the end: the top row whole below the header, the last whole, rows of 18 pixels.
  ListView_EnsureVisible(grid, 49, FALSE);
  RECT top{}, client{};
  ListView_GetItemRect(grid, ListView_GetTopIndex(grid), &top, LVIR_BOUNDS);
  ListView_GetItemRect(grid, 49, &r, LVIR_BOUNDS);
  GetClientRect(grid, &client);
  EXPECT_EQ(std::vector<LONG>({top.top, r.bottom - r.top, r.bottom <= client.bottom}),
            std::vector<LONG>({18, 18, 1}));
  // The task-bar button is the owner, titled with the product name.
  EXPECT_EQ(GetWindow(form_->Handle(), GW_OWNER), form_->Owner());
  EXPECT_EQ(Text(form_->Owner()), "Trovanta");
  // The row also clicked before (0: none), the archive listed; then the current row, the count
  // of selected rows and the top row. Listing scrolls back from the end.
  const std::tuple<int, std::string, std::vector<LRESULT>> steps[] = {
      {0, fifty, {1, 1, 0}},    {30, ten, {10, 1, 2}}, {0, fifty, {10, 1, 2}},
      {30, fifty, {30, 1, 22}}, {0, bad, {0, 0, 0}},   {0, fifty, {1, 1, 0}}};
  for (const auto& [select, path, expected] : steps) {
    if (select > 0) {
      ListView_SetItemState(grid, select - 1, LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
      ListView_SetSelectionMark(grid, select - 1);
    }
    Open(path);
    EXPECT_EQ(std::vector<LRESULT>({form_->CurrentGridRow(), ListView_GetSelectedCount(grid),
                                    ListView_GetTopIndex(grid)}),
              expected);
  }
}

TEST_F(Win32Window, OpenDialogDropsMenusAndClosing) {
  const std::string a = Numbered("a.spr", 2), b = Numbered("b.spr", 3), c = Numbered("c.spr", 4);
  Start(a);
  Open("");
  Open(b, 2);
  Open("");
  Open("C:\\" + std::string(257, 'x'));  // does not fit: a cancel
  auto* drop = static_cast<DROPFILES*>(GlobalAlloc(GPTR, sizeof(DROPFILES) + c.size() + 2));
  drop->pFiles = sizeof(DROPFILES);
  c.copy(reinterpret_cast<char*>(drop + 1), c.size());
  SendMessageA(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_EQ(Text(form_->Handle()) + " " + Row(3), "Trovanta (c.spr) 3|R3|no|0||");
  Open("");
  // No existence check, the read-only box shown, 259 characters and the NUL.
  const std::string filters =
      "Any file (*.*)\0*.*\0Sprite group archive (*.spr)\0*.spr\0Brindel  map (*.map)\0*.map\0"
      "Brindel tile group (*.til)\0*.til\0Palette table (*.mix;*.lit;*.llt)\0*.mix;*.lit;*.llt\0"
      "Any archive file\0*.spr;*.map;*.til;*.mix;*.lit;*.llt;*.tex\0\0"
      "0|260|Select an archive file to list|"s;
  EXPECT_EQ(requests_, std::vector<std::string>({filters + "6|", filters + "6|", filters + "2|" + b,
                                                 filters + "2|" + b, filters + "2|" + c}));
  EXPECT_TRUE(boxes_.empty());
  // Esc in the menu bar or an open menu only leaves it: real key presses through the X server,
  // from another thread, as a menu runs a loop of its own.
  SetForegroundWindow(form_->Handle());
  auto typist = std::async(std::launch::async, [&] {
    // The menu bar left, then a menu left to the menu bar, then the menu bar left.
    for (BYTE key : std::vector<BYTE>{VK_MENU, VK_ESCAPE, VK_MENU, 'F', VK_ESCAPE, VK_ESCAPE}) {
      Sleep(300);
      keybd_event(key, 0, 0, 0);
      keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
    Sleep(300);
    PostMessageA(form_->Handle(), WM_CANCELMODE, 0, 0);  // a menu left open cannot hang it
  });
  while (typist.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    Pump();
  }
  Pump();
  EXPECT_TRUE(IsWindow(form_->Handle()));
  // Esc in the about box does not close it; the box is fresh each time.
  int aboutStayed = 0;
  onBox_ = [&](HWND box) {
    SendMessageA(box, WM_COMMAND, IDCANCEL, 0);  // what Esc sends
    aboutStayed += IsWindowEnabled(form_->Handle()) ? 0 : 1;
  };
  SendMessageA(form_->Handle(), WM_COMMAND, IDM_E1, 0);
  SendMessageA(form_->Handle(), WM_COMMAND, IDM_E1, 0);
  EXPECT_EQ(aboutStayed, 2);
  // A long listing keeps a close request for its end and allows no second listing meanwhile.
  form_->SetProgressDelay(std::chrono::milliseconds(0));
  PostMessageA(form_->Handle(), WM_CLOSE, 0, 0);
  PostMessageA(form_->Handle(), WM_COMMAND, IDM_OPEN1, 0);
  Open(Numbered("many.spr", 3000));
  EXPECT_EQ(requests_.size(), 6u);
  EXPECT_EQ(Row(2999), "2999|R2999|no|0||");
  Pump();
  EXPECT_FALSE(IsWindow(form_->Handle()));
  // Esc closes the window from the grid and from a radio button.
  for (int control : {IDC_STRINGGRID1, IDC_RADIOBUTTON1}) {
    Start(a);
    PostMessageA(control == IDC_STRINGGRID1 ? form_->Grid() : GetDlgItem(Group(), control),
                 WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(form_->Handle())) << control;
  }
}

}  // namespace
}  // namespace lister::win32
