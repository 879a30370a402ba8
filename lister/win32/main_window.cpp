#include "lister/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>

#include "lister/desktop/row_copy.h"
#include "lister/desktop/window_layout.h"
#include "lister/win32/about.h"
#include "lister/win32/resource.h"

namespace lister::win32 {

namespace {

// While a listing runs the window takes no input but a close request, as the Qt window: keys
// and clicks in it and on its menu bar are refused; its frame (moving it, the close box,
// Alt+F4, the system menu) still works. The window is not disabled, so it keeps its look.
bool IsRefusedWhileListing(const MSG& message) {
  switch (message.message) {
    case WM_SYSKEYDOWN:
      return message.wParam != VK_F4;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return message.wParam == HTMENU;
    default:
      return (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
             (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST);
  }
}

// The window classes keep the names that tools and tests find the windows by.
constexpr char kMainWindowClass[] = "TForm1";
constexpr char kApplicationClass[] = "TApplication";
constexpr char kLabelClass[] = "TLabel";
constexpr COLORREF kGridLineRgb =
    RGB(kGridLineColour.red, kGridLineColour.green, kGridLineColour.blue);

std::string Text(std::string_view text) {
  return std::string(text);
}

HWND Child(HWND parent, const char* className, std::string_view text, DWORD style, Box at, int id,
           DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, className, Text(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                         at.left, at.top, at.width, at.height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrA(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  }
  const auto* label = reinterpret_cast<const LineLabel*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (message != WM_PAINT || label == nullptr) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = SelectObject(dc, label->font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  // Each line on its own, from the stored bytes: "&" and control characters are drawn as
  // they are, and a line never breaks inside.
  for (std::size_t i = 0; i < label->lines.size(); ++i) {
    const std::string& line = label->lines[i];
    TextOutA(dc, 0,
             static_cast<int>(i) * kLabelLineHeight + (kLabelLineHeight - metrics.tmHeight) / 2,
             line.data(), static_cast<int>(line.size()));
  }
  SelectObject(dc, old);
  EndPaint(hwnd, &paint);
  return 0;
}

// The group box hands its controls' commands to the main window and fills its own face.
LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
  if (message == WM_COMMAND) {
    return SendMessageA(GetParent(hwnd), message, wParam, lParam);
  }
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The header row's cells as the grid's fixed cells: button face, raised edges, the grid line in
// their last pixel column and row, the text 2 pixels in and clipped, never shortened.
void PaintHeader(HWND header) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(header, &paint);
  RECT client;
  GetClientRect(header, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT cell{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&cell));
    FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNSHADOW));
    --cell.right;
    --cell.bottom;
    FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
    char text[64] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    ExtTextOutA(dc, cell.left + kCellTextInset, cell.top + kCellTextInset, ETO_CLIPPED, &cell, text,
                static_cast<UINT>(strnlen(text, sizeof text)), nullptr);
  }
  SelectObject(dc, old);
  EndPaint(header, &paint);
}

// The fixed header row: one grid row high, no column sizing by the user, no hot tracking.
LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
  switch (message) {
    case HDM_LAYOUT: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
      layout->pwpos->cy = kGridRowHeight;
      layout->prc->top = layout->pwpos->y + kGridRowHeight;
      return result;
    }
    case WM_PAINT:
      PaintHeader(hwnd);
      return 0;
    case WM_SETCURSOR:
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return 0;
    default:
      return DefSubclassProc(hwnd, message, wParam, lParam);
  }
}

// Selects rows `anchor` to `row` alone, `row` the focused one, `anchor` where the range started.
void SelectRows(HWND grid, int anchor, int row) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(grid, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  for (int i = std::min(anchor, row); i <= std::max(anchor, row); ++i) {
    state.state = LVIS_SELECTED | (i == row ? LVIS_FOCUSED : 0);
    SendMessageA(grid, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
  }
  SendMessageA(grid, LVM_SETSELECTIONMARK, 0, anchor);
  SendMessageA(grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// Hands `message` to the list view as if Ctrl were up: it reads the key from the thread's key
// state and, for the mouse, from the message too.
LRESULT WithoutControl(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
  BYTE keys[256] = {};
  // Without the key state the message goes on as it came: Ctrl then acts as the list view says.
  const bool saved = GetKeyboardState(keys) != FALSE;
  BYTE up[256];
  std::copy(std::begin(keys), std::end(keys), std::begin(up));
  up[VK_CONTROL] = up[VK_LCONTROL] = up[VK_RCONTROL] = 0;
  if (saved) {
    SetKeyboardState(up);
  }
  const bool mouse = message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
  const LRESULT result =
      DefSubclassProc(grid, message, mouse ? wParam & ~WPARAM{MK_CONTROL} : wParam, lParam);
  if (saved) {
    SetKeyboardState(keys);
  }
  return result;
}

// The grid selects one range of rows only: Ctrl+click is a click, Ctrl+Space adds or takes out
// nothing, Ctrl+Home/End (with Shift too) do what Home/End do. Dragging over the rows extends
// the selection from the row where it started. Ctrl+C and Ctrl+Insert copy the selected rows.
LRESULT CALLBACK GridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR window) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (message == WM_KEYDOWN && control) {
    switch (wParam) {
      case 'C':
      case VK_INSERT:
        reinterpret_cast<const MainWindow*>(window)->CopySelectedRows();
        return 0;
      case VK_SPACE:
        return 0;
      case VK_HOME:
      case VK_END: {
        const LRESULT result = WithoutControl(hwnd, message, wParam, lParam);
        // Also when that row was current already.
        SendMessageA(hwnd, LVM_ENSUREVISIBLE,
                     static_cast<WPARAM>(SendMessageA(hwnd, LVM_GETNEXTITEM,
                                                      static_cast<WPARAM>(-1), LVNI_FOCUSED)),
                     FALSE);
        return result;
      }
      default:
        break;
    }
  }
  if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) &&
      (control || (wParam & MK_CONTROL))) {
    return WithoutControl(hwnd, message, wParam, lParam);
  }
  if (message == WM_MOUSEMOVE && GetCapture() == hwnd && (wParam & MK_LBUTTON)) {
    const int anchor = static_cast<int>(SendMessageA(hwnd, LVM_GETSELECTIONMARK, 0, 0));
    const int count = static_cast<int>(SendMessageA(hwnd, LVM_GETITEMCOUNT, 0, 0));
    const int top = static_cast<int>(SendMessageA(hwnd, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageA(hwnd, LVM_GETCOUNTPERPAGE, 0, 0));
    RECT header{};
    GetWindowRect(ListView_GetHeader(hwnd), &header);
    const int y = GET_Y_LPARAM(lParam) - (header.bottom - header.top);
    const int row = std::clamp(top + (y < 0 ? -1 : y / kGridRowHeight), std::max(top - 1, 0),
                               std::min(top + page, count - 1));
    if (anchor >= 0 && row >= 0) {
      SelectRows(hwnd, anchor, row);
    }
    return 0;
  }
  if (message == WM_LBUTTONUP && GetCapture() == hwnd) {
    ReleaseCapture();
    return 0;
  }
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  // The list view's own button handling returns once the mouse moved away with the button
  // held (it would start a drag); the selection follows the mouse from then on.
  if (message == WM_LBUTTONDOWN && !(wParam & MK_SHIFT) && GetKeyState(VK_LBUTTON) < 0) {
    SetCapture(hwnd);
  }
  return result;
}

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The task-bar button: activating it brings the main window back.
  if (message == WM_SETFOCUS || message == WM_CLOSE) {
    if (HWND main = FindWindowExA(nullptr, nullptr, kMainWindowClass, nullptr);
        main != nullptr && GetWindow(main, GW_OWNER) == hwnd) {
      message == WM_CLOSE ? PostMessageA(main, WM_CLOSE, 0, 0) : (SetFocus(main), 0);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return window != nullptr ? window->Handle(message, wParam, lParam)
                           : DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterWindowClasses(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
  WNDCLASSA main{};
  main.lpfnWndProc = MainWindowProc;
  main.hInstance = instance;
  main.hIcon = icon;
  main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main.lpszClassName = kMainWindowClass;
  RegisterClassA(&main);
  WNDCLASSA application = main;
  application.lpfnWndProc = ApplicationProc;
  application.lpszClassName = kApplicationClass;
  RegisterClassA(&application);
  WNDCLASSA label = main;
  label.lpfnWndProc = LabelProc;
  label.hIcon = nullptr;
  label.lpszClassName = kLabelClass;
  RegisterClassA(&label);
}

void LineLabel::SetLines(std::vector<std::string> texts, const std::string& accessibleText) {
  lines = std::move(texts);
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, font);
  int width = 0;
  for (const std::string& line : lines) {
    width = std::max(width, TextWidth(dc, line));
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  std::string joined;
  for (const std::string& line : lines) {
    joined += (joined.empty() && &line == lines.data() ? "" : "\r") + line;
  }
  SetWindowTextA(hwnd, accessibleText.empty() ? joined.c_str() : accessibleText.c_str());
  SetWindowPos(hwnd, nullptr, 0, 0, width, kLabelLineHeight * static_cast<int>(lines.size()),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd, nullptr, TRUE);
}

MainWindow::MainWindow(archive::ArchiveReader& reader, DialogSeam seam, bool quitOnClose)
    : session_(reader, *this),
      seam_(std::move(seam)),
      quitOnClose_(quitOnClose),
      font_(CreateWindowFont(kWindowFontPixels)),
      boldFont_(CreateWindowFont(kWindowFontPixels, true)),
      gridLine_(CreateSolidBrush(kGridLineRgb)) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const std::string title(kProductName);
  // The hidden owner is the program's task-bar button, titled with the product name whatever
  // the main window's caption says, as programs of its time did.
  owner_ = CreateWindowExA(0, kApplicationClass, title.c_str(),
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
                           nullptr, instance, nullptr);
  constexpr DWORD kStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  CreateWindowExA(0, kMainWindowClass, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  kClientWidth, kClientHeight, owner_,
                  LoadMenuA(instance, MAKEINTRESOURCEA(IDM_MAINMENU)), instance, this);
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SetClientSize(hwnd_, kClientWidth, kClientHeight);
  CentreOnScreen(hwnd_);
  DragAcceptFiles(hwnd_, TRUE);
  BuildGrid();
  BuildHeaderGroup();
}

MainWindow::~MainWindow() {
  progress_.reset();
  if (IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  DestroyWindow(owner_);
  DeleteObject(font_);
  DeleteObject(boldFont_);
  DeleteObject(gridLine_);
}

void MainWindow::BuildHeaderGroup() {
  headerGroup_ = Child(hwnd_, WC_BUTTONA, kHeaderGroupCaption, BS_GROUPBOX, kHeaderGroup,
                       IDC_HEADER_GROUP, WS_EX_CONTROLPARENT);
  SetWindowSubclass(headerGroup_, GroupBoxProc, 0, 0);
  summaryNames_.font = font_;
  summaryNames_.hwnd = CreateWindowExA(0, kLabelClass, "", WS_CHILD | WS_VISIBLE,
                                       kSummaryNamesAt.left, kSummaryNamesAt.top, 0, 0,
                                       headerGroup_, reinterpret_cast<HMENU>(IDC_SUMMARY_NAMES),
                                       GetModuleHandleA(nullptr), &summaryNames_);
  summaryValues_.font = boldFont_;
  summaryValues_.hwnd = CreateWindowExA(0, kLabelClass, "", WS_CHILD | WS_VISIBLE,
                                        kSummaryValuesAt.left, kSummaryValuesAt.top, 0, 0,
                                        headerGroup_, reinterpret_cast<HMENU>(IDC_SUMMARY_VALUES),
                                        GetModuleHandleA(nullptr), &summaryValues_);
  // Tab order: "in KB" first, and the only tab stop of the two.
  inKbButton_ = Child(headerGroup_, WC_BUTTONA, kInKBCaption,
                      BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, kInKBButton, IDC_IN_KB);
  inBytesButton_ = Child(headerGroup_, WC_BUTTONA, kInBytesCaption, BS_AUTORADIOBUTTON,
                         kInBytesButton, IDC_IN_BYTES);
  for (HWND control : {headerGroup_, inKbButton_, inBytesButton_}) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  SendMessageA(inKbButton_, BM_SETCHECK, BST_CHECKED, 0);
}

void MainWindow::BuildGrid() {
  recordGrid_ = Child(hwnd_, WC_LISTVIEWA, "",
                      WS_TABSTOP | WS_VSCROLL | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED |
                          LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                      kRecordGrid, IDC_RECORD_GRID, WS_EX_CLIENTEDGE);
  SendMessageA(recordGrid_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SetWindowTextA(recordGrid_, Text(kRecordGridName).c_str());  // its name for screen readers
  SendMessageA(recordGrid_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
               LVS_EX_FULLROWSELECT);
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kColumnWidths[i];
    SendMessageA(recordGrid_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  HWND header = ListView_GetHeader(recordGrid_);
  SetWindowSubclass(header, HeaderProc, 0, 0);
  SetWindowSubclass(recordGrid_, GridProc, 0, reinterpret_cast<DWORD_PTR>(this));
  // Lay the header out again at its fixed height.
  SetWindowPos(recordGrid_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void MainWindow::PlaceFixedTexts() {
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    std::string text(kHeaderTexts[i]);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = text.data();
    SendMessageA(recordGrid_, LVM_SETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  summaryNames_.SetLines({kFieldNames.begin(), kFieldNames.end()});
}

void MainWindow::Show() {
  ShowWindow(owner_, SW_SHOWNOACTIVATE);
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
}

HWND MainWindow::ControlNamed(std::string_view name) const {
  const std::pair<std::string_view, HWND> controls[] = {
      {"GroupBox1", headerGroup_},      {"Label1", summaryNames_.hwnd},
      {"Label2", summaryValues_.hwnd},  {"RadioButton1", inKbButton_},
      {"RadioButton2", inBytesButton_}, {"StringGrid1", recordGrid_}};
  const auto* found = std::find_if(std::begin(controls), std::end(controls),
                                   [name](const auto& control) { return control.first == name; });
  return found != std::end(controls) ? found->second : nullptr;
}

std::int64_t MainWindow::CurrentGridRow() const {
  if (SendMessageA(recordGrid_, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
    return 0;
  }
  // The selection mark is where a selection of several rows started.
  LRESULT mark = SendMessageA(recordGrid_, LVM_GETSELECTIONMARK, 0, 0);
  if (mark < 0) {
    mark = SendMessageA(recordGrid_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  }
  return mark + 1;
}

void MainWindow::CloseNow() {
  PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::PlaceCurrentRow(const CurrentRow& choice) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  // Only the selected rows and the focused one are cleared: item -1 would visit every row of
  // the table, a million of them after a large listing.
  for (const UINT which : {LVNI_SELECTED, LVNI_FOCUSED}) {
    for (LRESULT item = -1; (item = SendMessageA(recordGrid_, LVM_GETNEXTITEM,
                                                 static_cast<WPARAM>(item), which)) >= 0;) {
      SendMessageA(recordGrid_, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(&state));
    }
  }
  if (choice.row <= 0) {
    return;
  }
  const auto item = static_cast<WPARAM>(choice.row - 1);
  if (choice.fromTop) {
    SendMessageA(recordGrid_, LVM_ENSUREVISIBLE, 0, FALSE);
  }
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(recordGrid_, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
  SendMessageA(recordGrid_, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(item));
  SendMessageA(recordGrid_, LVM_ENSUREVISIBLE, item, FALSE);
}

void MainWindow::ResetTable(const std::function<void()>& resize) {
  resize();
  SendMessageA(recordGrid_, LVM_SETITEMCOUNT, static_cast<WPARAM>(session_.Rows().Rows()),
               LVSICF_NOSCROLL);
}

void MainWindow::ShowFilledRows() {
  InvalidateRect(recordGrid_, nullptr, TRUE);
}

void MainWindow::ShowProgress(const std::string& archiveName, std::int64_t totalRows) {
  progress_ = std::make_unique<ListingProgress>(hwnd_, archiveName, totalRows, seam_,
                                                [this] { session_.CancelListing(); });
}

void MainWindow::UpdateProgress(std::int64_t rowsDone) {
  progress_->Update(rowsDone);
  Pump();
}

void MainWindow::HideProgress() {
  progress_.reset();
}

// Lets the window system's messages through while a listing runs: repaints, and requests that
// the window remembers for the listing's end.
void MainWindow::Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    // Esc in the progress window presses its Cancel; Esc in the main window asks it to
    // close, which stops the listing too.
    if ((progress_ && IsDialogMessageA(progress_->Handle(), &message)) || PreviewMessage(message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextA(hwnd_, caption.c_str());
}

void MainWindow::SetSummary(const Summary& summary) {
  // Read out, each value follows its field name, one line each.
  std::string named;
  for (std::size_t i = 0; summary.listed && i < summary.lines.size() && i < kFieldNames.size();
       ++i) {
    ((named += i > 0 ? "\r\n" : "") += kFieldNames[i]) += ' ' + summary.lines[i];
  }
  summaryValues_.SetLines(summary.lines, named);
}

void MainWindow::ShowError(const std::string& message) {
  // A box before the main window is shown still has the program's task-bar button.
  if (!IsWindowVisible(owner_)) {
    ShowWindow(owner_, SW_SHOWNOACTIVATE);
  }
  RunErrorBox(hwnd_, message, font_, seam_);
}

void MainWindow::OnOpen() {
  if (session_.Busy()) {
    return;
  }
  std::optional<OpenChoice> choice;
  {
    const ListingSession::ModalScope modal(session_);
    choice = RunOpenDialog(hwnd_, seam_, session_.LastChoice());
  }
  if (choice) {
    session_.RememberChoice(*choice);
    session_.ListChosenPath(choice->path);
  }
}

void MainWindow::OnAbout() {
  const ListingSession::ModalScope modal(session_);
  RunAboutBox(hwnd_, seam_);
}

void MainWindow::OnUnitChosen(bool inKB) {
  session_.SetShowInKB(inKB);
}

bool MainWindow::OnKeyPress(WPARAM key) {
  if (key != VK_ESCAPE || GetKeyState(VK_CONTROL) < 0) {
    return false;
  }
  SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  return true;
}

bool MainWindow::PreviewMessage(MSG& message) {
  if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) {
    return false;
  }
  // Key preview: Esc pressed anywhere in the window closes it.
  if (message.message == WM_KEYDOWN && OnKeyPress(message.wParam)) {
    return true;
  }
  if (session_.Busy() && IsRefusedWhileListing(message)) {
    return true;
  }
  // Tab and the arrow keys between the grid and the radio buttons, as in a dialog.
  const bool onRadio = message.hwnd == inKbButton_ || message.hwnd == inBytesButton_;
  if (message.message == WM_KEYDOWN &&
      (message.wParam == VK_TAB ||
       (onRadio && message.wParam >= VK_LEFT && message.wParam <= VK_DOWN))) {
    return IsDialogMessageA(hwnd_, &message) != FALSE;
  }
  return false;
}

void MainWindow::DropFiles(HDROP drop) {
  // The wide name, at the length it comes in: the ANSI call cuts names at MAX_PATH.
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring wide(length, L'\0');
  // A name that does not come whole is not taken.
  const bool whole = DragQueryFileW(drop, 0, wide.data(), length + 1) == length;
  DragFinish(drop);
  // The shell hands a drop to DragAcceptFiles windows as a copy.
  if (!whole || session_.AnswerDrop(true, false, length) == DropAnswer::kRefuse) {
    return;
  }
  // The path as the command line would give it: in the system's code page.
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), nullptr, 0,
                                       nullptr, nullptr);
  std::string path(static_cast<std::size_t>(std::max(size, 0)), '\0');
  if (size > 0 && WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), path.data(),
                                      size, nullptr, nullptr) == size) {
    session_.ListDroppedPath(path);
  }
}

void MainWindow::DrawRow(const DRAWITEMSTRUCT& item) const {
  const RecordRow* row = session_.Rows().Row(item.itemID);
  const RowCells cells = row != nullptr ? FormatRow(*row, RunText::kShort) : RowCells{};
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  HGDIOBJ old = SelectObject(dc, font_);
  SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const int top = item.rcItem.top;
  const int bottom = item.rcItem.bottom;
  // The cells stand under the header's cells: the list view may start its items a few pixels in.
  HWND header = ListView_GetHeader(recordGrid_);
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    RECT column{};
    SendMessageA(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&column));
    const int left = static_cast<int>(column.left);
    const int right = static_cast<int>(column.right);
    // The cell, then its grid lines: the last pixel column and row.
    const RECT cell{left, top, right - 1, bottom - 1};
    ExtTextOutA(dc, left + kCellTextInset, top + kCellTextInset, ETO_CLIPPED | ETO_OPAQUE, &cell,
                cells[i].data(), static_cast<UINT>(cells[i].size()), nullptr);
    const RECT lineRight{right - 1, top, right, bottom};
    const RECT lineBelow{left, bottom - 1, right, bottom};
    FillRect(dc, &lineRight, gridLine_);
    FillRect(dc, &lineBelow, gridLine_);
  }
  SelectObject(dc, old);
}

void MainWindow::GetRowText(NMLVDISPINFOA& info) const {
  LVITEMA& item = info.item;
  if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0) {
    return;
  }
  const RecordRow* row = session_.Rows().Row(item.iItem);
  const auto column = static_cast<std::size_t>(item.iSubItem);
  std::string text;
  if (row != nullptr && column < kColumnCount) {
    text = FormatRow(*row, RunText::kShort)[column];
  }
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
  text.copy(item.pszText, length);
  item.pszText[length] = '\0';
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDM_FILE_OPEN:
          OnOpen();
          return 0;
        case IDM_HELP_ABOUT:
          OnAbout();
          return 0;
        case IDC_IN_KB:
        case IDC_IN_BYTES:
          // BN_CLICKED also comes for a click on the button already checked: only a newly
          // checked button counts.
          if (HIWORD(wParam) == BN_CLICKED &&
              SendMessageA(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0) == BST_CHECKED) {
            OnUnitChosen(LOWORD(wParam) == IDC_IN_KB);
          }
          return 0;
        default:
          break;
      }
      break;
    case WM_NOTIFYFORMAT:
      return NFR_ANSI;
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOA) {
        GetRowText(*reinterpret_cast<NMLVDISPINFOA*>(lParam));
        return 0;
      }
      break;
    case WM_MEASUREITEM:
      if (wParam == IDC_RECORD_GRID) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kGridRowHeight;
        return TRUE;
      }
      break;
    case WM_DRAWITEM:
      if (wParam == IDC_RECORD_GRID) {
        DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_SETFOCUS:
      OnActivate(true);
      return 0;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_SYSCOMMAND:
      // Minimised, the program is its task-bar button, which brings the window back.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        ShowWindow(owner_, SW_MINIMIZE);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (session_.RequestClose()) {
        DestroyWindow(hwnd_);
      }
      return 0;
    case WM_DESTROY:
      if (quitOnClose_) {
        PostQuitMessage(0);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

// As a dialog does: the control that had the focus when another window (a box, a dialog, the
// progress window, another program) took it gets it back, the grid at first.
void MainWindow::OnActivate(bool active) {
  HWND focus = GetFocus();
  if (!active) {
    if (focus != nullptr && IsChild(hwnd_, focus)) {
      focusBeforeDeactivation_ = focus;
    }
    return;
  }
  if (IsIconic(hwnd_)) {
    return;
  }
  const bool known = focusBeforeDeactivation_ != nullptr &&
                     IsChild(hwnd_, focusBeforeDeactivation_) &&
                     IsWindowEnabled(focusBeforeDeactivation_);
  SetFocus(known ? focusBeforeDeactivation_ : recordGrid_);
}

void MainWindow::CopySelectedRows() const {
  const auto count = SendMessageA(recordGrid_, LVM_GETSELECTEDCOUNT, 0, 0);
  const auto first =
      SendMessageA(recordGrid_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (count <= 0 || first < 0) {
    return;
  }
  // The grid selects one range: its first row and its length.
  const std::string text =
      CopiedRowsText(session_.Rows(), first, first + count, RunText::kShort, "\r\n");
  const int wideLength =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  HGLOBAL memory =
      GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(wideLength) + 1) * sizeof(WCHAR));
  auto* wide = memory != nullptr ? static_cast<WCHAR*>(GlobalLock(memory)) : nullptr;
  const bool converted =
      wide != nullptr && MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             wide, wideLength) == wideLength;
  if (wide != nullptr) {
    wide[wideLength] = L'\0';
    GlobalUnlock(memory);
  }
  if (!converted) {
    GlobalFree(memory);  // nothing for nullptr
    return;
  }
  // Another program may hold the clipboard: the copy is then not made, as in other programs.
  if (!OpenClipboard(hwnd_)) {
    GlobalFree(memory);
    return;
  }
  // Once the clipboard is open, emptying and closing it fail only for a clipboard not ours.
  EmptyClipboard();
  if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
    GlobalFree(memory);  // still ours when the clipboard did not take it
  }
  CloseClipboard();
}

int RunMessageLoop(MainWindow& window) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (window.PreviewMessage(message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace lister::win32
