// The Win32 window driven through its messages, its dialogs answered through the seam: the texts
// it shows for good, bad and hostile archives, the unit switch, the error box, layout, painting,
// what screen readers read, the grid's keys, the open dialog, drops, the focus after each box,
// F10 and Esc (not in a menu or the about box), the progress window and stopping a listing.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <shlobj.h>

#include <filesystem>
#include <future>
#include <map>

#include "archive_writer.h"
#include "main_window.h"
#include "resource.h"

namespace lister::win32 {
namespace {

using namespace std::string_literals;

// The summary as read out: each value after its field name, a line each.
std::string Named(const std::vector<std::string>& values) {
  const char* names[] = {"Archive title: ", "Version number: ", "Total number of records: ",
                         "Total uncompressed length: ", "Total compressed length: "};
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    text += (i > 0 ? "\r\n"s : ""s) + names[i] + values[i];
  }
  return text;
}

std::string Text(HWND window) {
  std::string text(512, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), 512)));
  return text;
}

// The name a screen reader reads for `window`, through the accessibility interface.
std::string AccessibleName(HWND window) {
  IAccessible* object = nullptr;
  if (HRESULT hr =
          AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                     __uuidof(IAccessible), reinterpret_cast<void**>(&object));
      FAILED(hr)) {
    return "(no object)" + std::to_string(hr);
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const HRESULT result = object->get_accName(self, &name);
  object->Release();
  std::string text(name != nullptr ? SysStringLen(name) : 0, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char>(name[i]);  // the names tested are ASCII
  }
  SysFreeString(name);
  return result == S_OK ? text : "(no name)";
}

// Whether a window of `box`'s owner chain shows in the task bar: a visible one that is unowned
// and no tool window, or one that asks for a task-bar button.
bool HasTaskBarEntry(HWND box) {
  for (HWND window = box; window != nullptr; window = GetWindow(window, GW_OWNER)) {
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if (IsWindowVisible(window) &&
        ((exStyle & WS_EX_APPWINDOW) ||
         (GetWindow(window, GW_OWNER) == nullptr && !(exStyle & WS_EX_TOOLWINDOW)))) {
      return true;
    }
  }
  return false;
}

class Win32Window : public ::testing::Test {
 protected:
  Win32Window() {
    static const bool registered = (RegisterWindowClasses(GetModuleHandleA(nullptr)), true);
    EXPECT_TRUE(registered && std::filesystem::create_directories(dir_));
    EXPECT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    seam_.boxShown = [this](HWND box) {
      boxes_.push_back(Text(box).append(": ").append(Text(GetDlgItem(box, IDC_ERRORTEXT))));
      boxes_.back() += HasTaskBarEntry(box) ? "" : " (no task-bar entry)";
      GetWindowRect(box, &boxFrame_);
      onBox_ ? onBox_(box) : void();
      SendMessageA(box, WM_COMMAND, IDOK, 0);
    };
    seam_.getOpenFileName = [this](OPENFILENAMEA& request) -> BOOL {
      if (realDialog_) {  // the system's dialog, cancelled once it is up
        request.Flags |= OFN_ENABLEHOOK;
        request.lpfnHook = [](HWND hook, UINT message, WPARAM, LPARAM) -> UINT_PTR {
          if (message == WM_INITDIALOG) {
            PostMessageA(GetParent(hook), WM_COMMAND, IDCANCEL, 0);
          }
          return 0;
        };
        return GetOpenFileNameA(&request);
      }
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
      return answer_.empty() ? FALSE : TRUE;
    };
  }
  ~Win32Window() override {
    form_.reset();
    std::filesystem::remove_all(dir_);
    CoUninitialize();
  }
  // Starts the window as the program does, on `path`.
  void Start(const std::string& path) {
    form_ = std::make_unique<MainWindow>(reader_, seam_, false);
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
    SendMessageA(form_->Handle(), WM_COMMAND, IDM_FILE_OPEN, 0);
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
  // A control by the name that users' tools know it by.
  HWND Control(const std::string& name) const {
    static const std::map<std::string, int> ids = {
        {"GroupBox1", IDC_HEADER_GROUP}, {"Label1", IDC_SUMMARY_NAMES},
        {"Label2", IDC_SUMMARY_VALUES},  {"RadioButton1", IDC_IN_KB},
        {"RadioButton2", IDC_IN_BYTES},  {"StringGrid1", IDC_RECORD_GRID}};
    const HWND group = GetDlgItem(form_->Handle(), IDC_HEADER_GROUP);
    const int id = ids.at(name);
    return id == IDC_HEADER_GROUP || id == IDC_RECORD_GRID ? GetDlgItem(form_->Handle(), id)
                                                           : GetDlgItem(group, id);
  }
  std::string Summary() const { return Text(Control("Label2")); }
  // Sends key `key` to `window` with Ctrl and Shift held or not, as the key state says.
  void Press(HWND window, WPARAM key, bool control, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageA(window, WM_KEYDOWN, key, 0);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }

  std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                               ("trovanta-" + std::to_string(GetCurrentProcessId()));
  archive::ArchiveReader reader_;
  DialogSeam seam_;
  std::unique_ptr<MainWindow> form_;
  std::vector<std::string> boxes_;  // "caption: text" of each box of ours
  RECT boxFrame_{};
  std::function<void(HWND)> onBox_;
  // Per dialog: filters, the flags that must stay clear, buffer size, title, filter index, file.
  std::vector<std::string> requests_;
  std::string answer_;
  bool realDialog_ = false;
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
       Named({"Big\rTitle", "1", "2147483647", "1 KB ", "1 KB (not compressed)"}),
       "Trovanta (big.til)"},
      {Write("Good.spr", archive::BuildArchive("Caf\xE9 & co", 3,
                                               {{"A&B.SPR", archive::kMethodStored, 5000},
                                                {"\xC9T\xC9", archive::kMethodLzw, 3000, 10000},
                                                {"GONE", archive::kMethodStored, 0, 0, true}})),
       "", "0|A&B.SPR|no|5000||", "2|empty record||||",
       Named({"Caf\xE9 & co", "3", "3", "15 KB ", "8 KB (46.7% gained)"}), "Trovanta (Good.spr)"},
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
  const std::string kb = Named({"Caf\xE9 & co", "3", "3", "15 KB ", "8 KB (46.7% gained)"});
  const std::string bytes =
      Named({"Caf\xE9 & co", "3", "3", "15000 bytes ", "8000 bytes (46.7% gained)"});
  for (const char* button :
       {"RadioButton1", "RadioButton2", "RadioButton1", "RadioButton2", "RadioButton2"}) {
    SendMessageA(Control(button), BM_CLICK, 0, 0);
    EXPECT_EQ(Summary(), button == "RadioButton1"s ? kb : bytes);
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

TEST_F(Win32Window, LayoutPaintingNamesAndTheCurrentRow) {
  const std::string fifty = Numbered("fifty.spr", 50), ten = Numbered("ten.spr", 10);
  Start(fifty);
  const HWND grid = form_->Grid();
  EXPECT_EQ(Text(Control("Label1")),
            "Archive title:\rVersion number:\rTotal number of records:\r"
            "Total uncompressed length:\rTotal compressed length:");
  // What a screen reader reads: every summary line with its field name, and the grid's name.
  EXPECT_EQ(AccessibleName(Control("Label2")),
            Named({"Numbered", "1", "50", "0 KB ", "0 KB (not compressed)"}));
  EXPECT_EQ(AccessibleName(grid), "Records");
  RECT r{};
  GetClientRect(form_->Handle(), &r);
  // The client size, the places of the controls in their parents, the header's cells.
  std::string places = std::to_string(r.right) + "x" + std::to_string(r.bottom);
  for (const char* name : {"GroupBox1", "RadioButton2", "RadioButton1", "StringGrid1"}) {
    GetWindowRect(Control(name), &r);
    MapWindowPoints(nullptr, GetParent(Control(name)), reinterpret_cast<POINT*>(&r), 2);
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
  // The grid lines of an unselected row: the last pixel column of a cell and its last row.
  UpdateWindow(grid);
  HDC dc = GetDC(grid);
  EXPECT_EQ(
      std::vector<COLORREF>({GetPixel(dc, 51, 18 + 3 * 18 + 5), GetPixel(dc, 10, 18 + 4 * 18 - 1)}),
      std::vector<COLORREF>(2, RGB(0xB8, 0xB8, 0xB8)));
  ReleaseDC(grid, dc);
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
  // The grid shows the row the session places: selected alone, current, scrolled into view.
  // The row also clicked before (0: none), the archive listed; then the current row, the count
  // of selected rows and the top row.
  const std::tuple<int, std::string, std::vector<LRESULT>> steps[] = {
      {30, ten, {10, 1, 2}}, {0, fifty, {10, 1, 2}}, {30, fifty, {30, 1, 22}}};
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

TEST_F(Win32Window, TheGridKeepsOneRangeOfRowsAndCopiesIt) {
  Start(Numbered("fifty.spr", 50));
  const HWND grid = form_->Grid();
  const auto click = [&](int row, WPARAM keys) {
    const LPARAM at = MAKELPARAM(10, 18 + row * 18 + 5);
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    SendMessageA(grid, WM_LBUTTONUP, keys, at);
  };
  // Each step, then the selected rows "first-last/count", and whether the focused row is shown.
  const std::tuple<std::function<void()>, std::string, bool> steps[] = {
      {[&] { click(2, 0); }, "2-2/1", true},
      {[&] { click(5, MK_CONTROL); }, "5-5/1", true},
      {[&] { Press(grid, VK_SPACE, true); }, "5-5/1", true},
      {[&] { Press(grid, VK_END, true, true); }, "5-49/45", true},
      {[&] { Press(grid, VK_HOME, true, true); }, "0-5/6", true},
      {[&] { Press(grid, VK_END, true); }, "49-49/1", true},
      {[&] {
         ListView_EnsureVisible(grid, 0, FALSE);
         Press(grid, VK_END, true);
       },
       "49-49/1", true},
      {[&] {
         ListView_EnsureVisible(grid, 49, FALSE);
         Press(grid, VK_HOME, true);
       },
       "0-0/1", true},
  };
  for (const auto& [step, selected, shown] : steps) {
    step();
    const int first = ListView_GetNextItem(grid, -1, LVNI_SELECTED);
    int last = first;
    for (int i = first; (i = ListView_GetNextItem(grid, i, LVNI_SELECTED)) >= 0;) {
      last = i;
    }
    const int focus = ListView_GetNextItem(grid, -1, LVNI_FOCUSED);
    const int top = ListView_GetTopIndex(grid);
    EXPECT_EQ(std::to_string(first) + "-" + std::to_string(last) + "/" +
                  std::to_string(ListView_GetSelectedCount(grid)),
              selected);
    EXPECT_EQ(focus >= top && focus < top + ListView_GetCountPerPage(grid), shown) << selected;
  }
  // Ctrl+C and Ctrl+Insert: the selected rows as tab-separated lines, the header row first.
  click(1, 0);
  click(2, MK_SHIFT);
  for (WPARAM key : {WPARAM{'C'}, WPARAM{VK_INSERT}}) {
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    Press(grid, key, true);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    EXPECT_EQ(std::wstring(text != nullptr ? text : L"(none)"),
              L"Number\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\r\n"
              L"1\tR1\tno\t0\t\t\r\n2\tR2\tno\t0\t\t\r\n");
    if (text != nullptr) {
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
}

TEST_F(Win32Window, OpenDialogDropsMenusFocusAndClosing) {
  const std::string a = Numbered("a.spr", 2), b = Numbered("b.spr", 3), c = Numbered("c.spr", 4);
  Start(a);
  Open("");
  Open(b, 2);
  Open("");
  Open("C:\\" + std::string(257, 'x'));  // does not fit: a cancel
  // Dropped names come wide, at any length the command line takes.
  const std::string longName = (dir_ / std::string(300, 'y')).string();
  for (const std::string& path : {longName, c}) {
    auto* drop =
        static_cast<DROPFILES*>(GlobalAlloc(GPTR, sizeof(DROPFILES) + 2 * (path.size() + 2)));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(path.begin(), path.end(), reinterpret_cast<wchar_t*>(drop + 1));
    SendMessageA(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  }
  EXPECT_EQ(Text(form_->Handle()) + " " + Row(3), "Trovanta (c.spr) 3|R3|no|0||");
  EXPECT_EQ(boxes_, std::vector<std::string>({"Error: This file does not exist."}));
  Open("");
  // No existence check, the read-only box shown, 259 characters and the NUL.
  const std::string filters =
      "Any file (*.*)\0*.*\0Sprite group archive (*.spr)\0*.spr\0Brindel  map (*.map)\0*.map\0"
      "Brindel tile group (*.til)\0*.til\0Palette table (*.mix;*.lit;*.llt)\0*.mix;*.lit;*.llt\0"
      "Any archive file\0*.spr;*.map;*.til;*.mix;*.lit;*.llt;*.tex\0\0"
      "0|260|Select an archive file to list|"s;
  EXPECT_EQ(requests_, std::vector<std::string>({filters + "6|", filters + "6|", filters + "2|" + b,
                                                 filters + "2|" + b, filters + "2|" + c}));
  // The focus goes back to the control that had it after the real open dialog (cancelled), the
  // about box, an error box and the progress window.
  SetForegroundWindow(form_->Handle());
  form_->SetProgressDelay(std::chrono::milliseconds(0));
  const std::string many = Numbered("many.spr", 3000);
  const std::pair<const char*, std::function<void()>> boxes[] = {
      {"RadioButton2",
       [&] {
         realDialog_ = true;
         form_->OnOpen();
         realDialog_ = false;
       }},
      {"StringGrid1", [&] { form_->OnAbout(); }},
      {"RadioButton1", [&] { form_->ShowError("No file specified."); }},
      {"StringGrid1", [&] { Open(many); }},
  };
  for (const auto& [name, box] : boxes) {
    SetFocus(Control(name));
    box();
    Pump();
    EXPECT_EQ(GetFocus(), Control(name)) << name;
  }
  // F10 opens the menu bar; Esc in the menu bar or an open menu only leaves it: real key
  // presses through the X server, from another thread, as a menu runs a loop of its own.
  const DWORD thread = GetCurrentThreadId();
  bool menuOnF10 = false;
  auto typist = std::async(std::launch::async, [&] {
    // The menu bar left, then a menu left to the menu bar, then the menu bar left.
    for (BYTE key : std::vector<BYTE>{VK_F10, VK_ESCAPE, VK_MENU, 'F', VK_ESCAPE, VK_ESCAPE}) {
      Sleep(300);
      keybd_event(key, 0, 0, 0);
      keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      Sleep(300);
      menuOnF10 |=
          key == VK_F10 && GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMENUMODE);
    }
    Sleep(300);
    PostMessageA(form_->Handle(), WM_CANCELMODE, 0, 0);  // a menu left open cannot hang it
  });
  while (typist.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    Pump();
  }
  Pump();
  EXPECT_TRUE(menuOnF10);
  EXPECT_TRUE(IsWindow(form_->Handle()));
  // Esc in the about box does not close it; the box is fresh each time.
  int aboutStayed = 0;
  onBox_ = [&](HWND box) {
    SendMessageA(box, WM_COMMAND, IDCANCEL, 0);  // what Esc sends
    aboutStayed += IsWindowEnabled(form_->Handle()) ? 0 : 1;
  };
  form_->OnAbout();
  form_->OnAbout();
  EXPECT_EQ(aboutStayed, 2);
  // The progress window's Esc and Cancel stop the listing: while it runs the summary is blank
  // and drawn so, the caption is the last archive's; the rows read stay, and one row stands for
  // the rest. Alt+F4 there and a close request to the window (the close box) close the window.
  const std::pair<std::function<void(HWND)>, bool> stops[] = {
      {[](HWND box) { PostMessageA(GetDlgItem(box, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0); }, false},
      {[](HWND box) { PostMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0); }, false},
      {[](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); }, true},
      {[&](HWND) { PostMessageA(form_->Handle(), WM_CLOSE, 0, 0); }, true},
  };
  for (const auto& [stop, closes] : stops) {
    Start(a);
    form_->SetProgressDelay(std::chrono::milliseconds(0));
    std::string during;
    onBox_ = [&](HWND box) {
      RedrawWindow(form_->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      // The values' column of the summary, drawn in the face colour alone.
      HDC dc = GetDC(Control("GroupBox1"));
      int inked = 0;
      for (int x = 144; x < 380; x += 2) {
        for (int y = 24; y < 24 + 5 * 13; ++y) {
          inked += GetPixel(dc, x, y) != GetSysColor(COLOR_BTNFACE);
        }
      }
      ReleaseDC(Control("GroupBox1"), dc);
      during = Text(form_->Handle()) + "|" + Summary() + "|" + std::to_string(inked);
      stop(box);
    };
    Open(many);
    onBox_ = nullptr;
    EXPECT_EQ(during, "Trovanta (a.spr)|" + Named({"", "", "", "", ""}) + "|0");
    const int rows = ListView_GetItemCount(form_->Grid());
    EXPECT_LT(rows, 3000);
    EXPECT_EQ(Row(rows - 1),
              std::to_string(rows - 1) + "|" + std::to_string(3001 - rows) + " not listed||||");
    Pump();
    EXPECT_EQ(IsWindow(form_->Handle()), !closes);
    if (!closes) {
      Open(b);
      EXPECT_EQ(Text(form_->Handle()) + " " + Row(2), "Trovanta (b.spr) 2|R2|no|0||");
    }
  }
  // Esc closes the window from the grid and from a radio button.
  for (const char* name : {"StringGrid1", "RadioButton1"}) {
    Start(a);
    PostMessageA(Control(name), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(form_->Handle())) << name;
  }
}

}  // namespace
}  // namespace lister::win32
