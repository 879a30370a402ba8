// The Win32 window driven through its messages, its dialogs answered through the seam: the texts
// it shows, the unit switch, the error box, layout, painting, what screen readers read, the
// grid's keys and copy, the open dialog, drops, the focus after each box, F10 and Esc (not in a
// menu or the about box), the progress window and stopping a listing.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <future>

#include "archive/archive_writer.h"
#include "lister/win32/main_window.h"
#include "lister/win32/resource.h"

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

// The name a screen reader reads for `window`, through the accessibility interface (ASCII here).
std::string AccessibleName(HWND window) {
  IAccessible* object = nullptr;
  BSTR name = nullptr;
  VARIANT self{};
  self.vt = VT_I4;  // CHILDID_SELF
  if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                           __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&object)))) {
    object->get_accName(self, &name);
    object->Release();
  }
  const std::string text(name, name + SysStringLen(name));
  SysFreeString(name);
  return text;
}

class Win32Window : public ::testing::Test {
 protected:
  Win32Window() {
    static const bool registered = (RegisterWindowClasses(GetModuleHandleA(nullptr)), true);
    EXPECT_TRUE(registered && std::filesystem::create_directories(dir_));
    EXPECT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    seam_.boxShown = [this](HWND box) {
      boxes_.push_back(Text(box).append(": ").append(Text(GetDlgItem(box, IDC_ERRORTEXT))));
      // The owner of the box's owner (the main window) is the program's task-bar button.
      HWND button = GetWindow(GetWindow(box, GW_OWNER), GW_OWNER);
      boxes_.back() += IsWindowVisible(button) ? "" : " (no task-bar entry)";
      GetWindowRect(box, &boxFrame_);
      onBox_ ? onBox_(box) : void();
      SendMessageA(box, WM_COMMAND, IDOK, 0);
    };
    seam_.getOpenFileName = [this](OPENFILENAMEA& request) -> BOOL {
      if (realDialog_) {  // the system's dialog, cancelled once it is up
        request.Flags |= OFN_ENABLEHOOK;
        request.lpfnHook = [](HWND hook, UINT message, WPARAM, LPARAM) -> UINT_PTR {
          return message == WM_INITDIALOG && PostMessageA(GetParent(hook), WM_COMMAND, IDCANCEL, 0);
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
  HWND Control(std::string_view name) const { return form_->ControlNamed(name); }
  std::string Summary() const { return Text(Control("Label2")); }
  // Sends key `key` to the grid with Ctrl and Shift held or not, as the key state says.
  void Press(WPARAM key, bool control, bool shift = false) {
    BYTE keys[256] = {};
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageA(form_->Grid(), WM_KEYDOWN, key, 0);
    SetKeyboardState(std::array<BYTE, 256>{}.data());
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

TEST_F(Win32Window, ListsArchivesSwitchesUnitsAndShowsTheErrorBox) {
  // The box comes before the window is shown, with the program's task-bar entry.
  Start("");
  EXPECT_EQ(
      Join(boxes_, "") + "|" + Row(0) + "|" + Summary() + "|" + Text(form_->Handle()) + "|" +
          Text(Control("Label1")),
      "Error: No file specified.|||||||Not an archive file|Trovanta|Archive title:\rVersion "
      "number:\rTotal number of records:\rTotal uncompressed length:\rTotal compressed length:");
  Start(Write("Good.spr", archive::BuildArchive("Caf\xE9 & co", 3,
                                                {{"A&B.SPR", archive::kMethodStored, 5000},
                                                 {"\xC9T\xC9", archive::kMethodLzw, 3000, 10000},
                                                 {"GONE", archive::kMethodStored, 0, 0, true}})));
  EXPECT_EQ(Row(0) + "|" + Row(1) + "|" + Row(2) + "|" + Text(form_->Handle()),
            "0|A&B.SPR|no|5000|||1|\xC9T\xC9|lzw|3000|10000|70.0%|2|empty record|||||"
            "Trovanta (Good.spr)");
  // A click on the chosen unit changes nothing; the table stays in bytes.
  const std::string kb = Named({"Caf\xE9 & co", "3", "3", "15 KB ", "8 KB (46.7% gained)"});
  const std::string bytes =
      Named({"Caf\xE9 & co", "3", "3", "15000 bytes ", "8000 bytes (46.7% gained)"});
  for (const char* button : {"RadioButton1", "RadioButton2", "RadioButton2", "RadioButton1"}) {
    SendMessageA(Control(button), BM_CLICK, 0, 0);
    EXPECT_EQ(Summary(), button == "RadioButton1"s ? kb : bytes);
  }
  // A long message is wrapped at half the screen.
  form_->ShowError(std::string(200, 'W').append(".SPR is not a valid archive file."));
  EXPECT_NEAR(boxFrame_.right - boxFrame_.left, GetSystemMetrics(SM_CXSCREEN) / 2 + 40, 40);
}

TEST_F(Win32Window, LayoutPaintingNamesAndTheGridsKeysAndCopy) {
  Start(Numbered("fifty.spr", 50));
  const HWND grid = form_->Grid();
  // What a screen reader reads: every summary line with its field name, and the grid's name.
  EXPECT_EQ(AccessibleName(Control("Label2")),
            Named({"Numbered", "1", "50", "0 KB ", "0 KB (not compressed)"}));
  EXPECT_EQ(AccessibleName(grid), "Records");
  // The client size, the places of the controls in their parents, the header's cells.
  RECT r{};
  GetClientRect(form_->Handle(), &r);
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
  // The grid lines of an unselected row, under the header's: a cell's last pixel column and row.
  UpdateWindow(grid);
  HDC dc = GetDC(grid);
  EXPECT_EQ(std::vector<COLORREF>({GetPixel(dc, 51, 18 + 3 * 18 + 5), GetPixel(dc, 10, 89)}),
            std::vector<COLORREF>(2, RGB(0xB8, 0xB8, 0xB8)));
  ReleaseDC(grid, dc);
  // The grid keeps one range of rows.
  const auto click = [&](int row, WPARAM keys) {
    const LPARAM at = MAKELPARAM(10, 18 + row * 18 + 5);
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    SendMessageA(grid, WM_LBUTTONUP, keys, at);
  };
  // A click on a row (-1: none) with Ctrl or Shift, or a key with them, the grid scrolled to row
  // `from` first; then the first selected row and the count, whether rows after that range are
  // selected too, and the focused row is in view.
  const std::tuple<int, WPARAM, bool, bool, int, std::string> steps[] = {
      {2, 0, false, false, 0, "2/1"},        {5, MK_CONTROL, false, false, 0, "5/1"},
      {-1, VK_SPACE, true, false, 0, "5/1"}, {-1, VK_END, true, true, 0, "5/45"},
      {-1, VK_HOME, true, true, 49, "0/6"},  {-1, VK_END, true, false, 0, "49/1"},
      {-1, VK_END, true, false, 0, "49/1"},  {-1, VK_HOME, true, false, 49, "0/1"},
      {1, 0, false, false, 0, "1/1"},        {2, MK_SHIFT, false, false, 0, "1/2"},
  };
  for (const auto& [row, key, control, shift, from, selected] : steps) {
    ListView_EnsureVisible(grid, from, FALSE);
    row >= 0 ? click(row, key) : Press(key, control, shift);
    const int first = ListView_GetNextItem(grid, -1, LVNI_SELECTED),
              count = ListView_GetSelectedCount(grid),
              focus = ListView_GetNextItem(grid, -1, LVNI_FOCUSED),
              top = ListView_GetTopIndex(grid);
    EXPECT_EQ(
        std::to_string(first) + "/" + std::to_string(count) +
            (ListView_GetNextItem(grid, first + count - 1, LVNI_SELECTED) >= 0 ? " split" : ""),
        selected);
    EXPECT_TRUE(focus >= top && focus < top + ListView_GetCountPerPage(grid)) << selected;
  }
  // Ctrl+C and Ctrl+Insert: the selected rows as tab-separated lines, the header row first.
  for (WPARAM key : {WPARAM{'C'}, WPARAM{VK_INSERT}}) {
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    Press(key, true);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));  // nullptr for nullptr
    EXPECT_EQ(std::wstring(text != nullptr ? text : L"(none)"),
              L"Number\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\r\n"
              L"1\tR1\tno\t0\t\t\r\n2\tR2\tno\t0\t\t\r\n");
    GlobalUnlock(data);
    CloseClipboard();
  }
}

TEST_F(Win32Window, OpenDialogDropsFocusAndMenus) {
  const std::string a = Numbered("a.spr", 2), b = Numbered("b.spr", 3), c = Numbered("c.spr", 4);
  Start(a);
  Open(b, 2);
  Open("C:\\" + std::string(257, 'x'));  // does not fit: a cancel
  // Dropped names come wide, at any length the command line takes.
  for (const std::string& path : {(dir_ / std::string(300, 'y')).string(), c}) {
    auto* drop =
        static_cast<DROPFILES*>(GlobalAlloc(GPTR, sizeof(DROPFILES) + 2 * path.size() + 4));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(path.begin(), path.end(), reinterpret_cast<wchar_t*>(drop + 1));
    SendMessageA(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  }
  EXPECT_EQ(Text(form_->Handle()) + " " + Row(3) + " " + Join(boxes_, ""),
            "Trovanta (c.spr) 3|R3|no|0|| Error: This file does not exist.");
  Open("");
  // No existence check, the read-only box shown, 259 characters and the NUL.
  const std::string filters =
      "Any file (*.*)\0*.*\0Sprite group archive (*.spr)\0*.spr\0Brindel  map (*.map)\0*.map\0"
      "Brindel tile group (*.til)\0*.til\0Palette table (*.mix;*.lit;*.llt)\0*.mix;*.lit;*.llt\0"
      "Any archive file\0*.spr;*.map;*.til;*.mix;*.lit;*.llt;*.tex\0\0"
      "0|260|Select an archive file to list|"s;
  EXPECT_EQ(requests_,
            std::vector<std::string>({filters + "6|", filters + "2|" + b, filters + "2|" + c}));
  // The focus goes back to the control that had it after the system's open dialog (cancelled),
  // the about box, an error box and the progress window. Esc in the about box (a fresh one each
  // time) does not close it.
  int aboutStayed = 0;
  onBox_ = [&](HWND box) {
    if (Text(box) == "About") {
      SendMessageA(box, WM_COMMAND, IDCANCEL, 0);  // what Esc sends
      aboutStayed += IsWindowEnabled(form_->Handle()) ? 0 : 1;
    }
  };
  SetForegroundWindow(form_->Handle());
  form_->SetProgressDelay(std::chrono::milliseconds(0));
  const std::pair<const char*, std::function<void()>> boxes[] = {
      {"RadioButton2", [&] { realDialog_ = true, form_->OnOpen(), realDialog_ = false; }},
      {"StringGrid1", [&] { form_->OnAbout(); }},
      {"RadioButton2", [&] { form_->OnAbout(); }},
      {"RadioButton1", [&] { form_->ShowError("No file specified."); }},
      {"StringGrid1", [&] { Open(Numbered("many.spr", 3000)); }},
  };
  for (const auto& [name, box] : boxes) {
    SetFocus(Control(name));
    box();
    Pump();
    EXPECT_EQ(GetFocus(), Control(name)) << name;
  }
  EXPECT_EQ(aboutStayed, 2);
  // F10 opens the menu bar; Esc in the menu bar or an open menu only leaves it: real key
  // presses through the X server, from another thread, as a menu runs a loop of its own.
  bool menuOnF10 = false;
  auto typist = std::async(std::launch::async, [&] {
    // The menu bar left, then a menu left to the menu bar, then the menu bar left.
    for (BYTE key : std::vector<BYTE>{VK_F10, VK_ESCAPE, VK_MENU, 'F', VK_ESCAPE, VK_ESCAPE}) {
      keybd_event(key, 0, 0, 0);
      keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
      Sleep(300);
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      menuOnF10 |= key == VK_F10 &&
                   GetGUIThreadInfo(GetWindowThreadProcessId(form_->Handle(), nullptr), &info) &&
                   (info.flags & GUI_INMENUMODE);
    }
    PostMessageA(form_->Handle(), WM_CANCELMODE, 0, 0);  // a menu left open cannot hang it
  });
  while (typist.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    Pump();
  }
  Pump();
  EXPECT_TRUE(menuOnF10 && IsWindow(form_->Handle()));
}

TEST_F(Win32Window, StoppingAListingAndClosing) {
  const std::string a = Numbered("a.spr", 2), many = Numbered("many.spr", 3000);
  // The progress window's Esc, Cancel and close (its close box, Alt+F4) stop the listing: while it
  // runs the summary is blank, the caption is the last archive's; the rows read stay, and one row
  // stands for the rest. A close request to the window (the close box, Alt+F4) and Esc in the
  // window (key preview) close the window, which stays enabled for them.
  const std::pair<std::function<void(HWND)>, bool> stops[] = {
      {[](HWND box) { PostMessageA(GetDlgItem(box, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0); }, false},
      {[](HWND box) { PostMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0); }, false},
      {[](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); }, false},
      {[&](HWND) { PostMessageA(form_->Handle(), WM_CLOSE, 0, 0); }, true},
      {[&](HWND) { PostMessageA(Control("StringGrid1"), WM_KEYDOWN, VK_ESCAPE, 0); }, true},
      // Last, as it replaces the archive: a copy of the same size put in its place.
      {[&](HWND) {
         std::filesystem::copy_file(many, many + ".new");
         std::filesystem::rename(many + ".new", many);
       },
       false},
  };
  for (const auto& [stop, closes] : stops) {
    Start(a);
    form_->SetProgressDelay(std::chrono::milliseconds(0));
    std::string during;
    onBox_ = [&](HWND box) {  // the progress window, then any error box
      if (during.empty()) {
        const bool enabled = IsWindowEnabled(form_->Handle());
        during = Text(form_->Handle()) + (enabled ? "|enabled|" : "|disabled|") + Summary();
        PostMessageA(Control("RadioButton2"), WM_LBUTTONDOWN, MK_LBUTTON, 0);  // refused
        PostMessageA(Control("RadioButton2"), WM_LBUTTONUP, 0, 0);
        stop(box);
      }
    };
    Open(many);
    onBox_ = nullptr;
    EXPECT_EQ(during, "Trovanta (a.spr)|enabled|" + Named({"", "", "", "", ""}));
    const int rows = ListView_GetItemCount(form_->Grid());
    EXPECT_EQ(Row(rows - 1),
              std::to_string(rows - 1) + "|" + std::to_string(3001 - rows) + " not listed||||");
    Pump();
    EXPECT_EQ(IsWindow(form_->Handle()), !closes);
    if (!closes) {  // commands are taken again
      EXPECT_EQ(SendMessageA(Control("RadioButton1"), BM_GETCHECK, 0, 0), BST_CHECKED);
      Open(a);
      EXPECT_EQ(Row(1), "1|R1|no|0||");
    }
  }
  EXPECT_EQ(
      std::count(boxes_.begin(), boxes_.end(), "Error: MANY.SPR changed while it was listed."), 1);
}

}  // namespace
}  // namespace lister::win32
