#include "lister/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>

#include "lister/desktop/window_layout.h"
#include "lister/win32/about.h"
#include "lister/win32/resource.h"

namespace lister::win32 {

namespace {

constexpr char kFormClass[] = "TForm1";
constexpr char kApplicationClass[] = "TApplication";
constexpr char kLabelClass[] = "TLabel";

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

// The group box hands its controls' commands to the form and fills its own face.
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

// Dragging over the rows extends the selection from the row where it started.
LRESULT CALLBACK GridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR) {
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
      LVITEMA state{};
      state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
      state.state = LVIS_SELECTED;
      for (int i = std::min(anchor, row); i <= std::max(anchor, row); ++i) {
        state.state = LVIS_SELECTED | (i == row ? LVIS_FOCUSED : 0);
        SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&state));
      }
      SendMessageA(hwnd, LVM_SETSELECTIONMARK, 0, anchor);
      SendMessageA(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
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
  if (message == WM_LBUTTONDOWN && !(wParam & (MK_SHIFT | MK_CONTROL)) &&
      GetKeyState(VK_LBUTTON) < 0) {
    SetCapture(hwnd);
  }
  return result;
}

LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The task-bar button: activating it brings the main window back.
  if (message == WM_SETFOCUS || message == WM_CLOSE) {
    if (HWND form = FindWindowExA(nullptr, nullptr, kFormClass, nullptr);
        form != nullptr && GetWindow(form, GW_OWNER) == hwnd) {
      message == WM_CLOSE ? PostMessageA(form, WM_CLOSE, 0, 0) : (SetFocus(form), 0);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return form != nullptr ? form->Handle(message, wParam, lParam)
                         : DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterWindowClasses(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
  WNDCLASSA form{};
  form.lpfnWndProc = FormProc;
  form.hInstance = instance;
  form.hIcon = icon;
  form.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);
  WNDCLASSA application = form;
  application.lpfnWndProc = ApplicationProc;
  application.lpszClassName = kApplicationClass;
  RegisterClassA(&application);
  WNDCLASSA label = form;
  label.lpfnWndProc = LabelProc;
  label.hIcon = nullptr;
  label.lpszClassName = kLabelClass;
  RegisterClassA(&label);
}

void LineLabel::SetLines(std::vector<std::string> texts) {
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
  // The window text carries the lines too, for tests and screen readers.
  SetWindowTextA(hwnd, joined.c_str());
  SetWindowPos(hwnd, nullptr, 0, 0, width, kLabelLineHeight * static_cast<int>(lines.size()),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd, nullptr, TRUE);
}

TForm1::TForm1(archive::ArchiveReader& reader, DialogSeam seam, bool quitOnClose)
    : session_(reader, *this),
      seam_(std::move(seam)),
      quitOnClose_(quitOnClose),
      font_(CreateWindowFont(kWindowFontPixels)),
      boldFont_(CreateWindowFont(kWindowFontPixels, true)),
      gridLine_(GetSysColorBrush(COLOR_BTNFACE)) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const std::string title(kProductName);
  // The hidden owner is the program's task-bar button, titled with the product name whatever
  // the main window's caption says, as programs of its time did.
  owner_ = CreateWindowExA(0, kApplicationClass, title.c_str(),
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
                           nullptr, instance, nullptr);
  constexpr DWORD kStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  CreateWindowExA(0, kFormClass, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, kClientWidth,
                  kClientHeight, owner_, LoadMenuA(instance, MAKEINTRESOURCEA(IDM_MAINMENU)),
                  instance, this);
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SetClientSize(hwnd_, kClientWidth, kClientHeight);
  CentreOnScreen(hwnd_);
  DragAcceptFiles(hwnd_, TRUE);
  BuildGrid();
  BuildGroupBox();
  SetFocus(StringGrid1);
}

TForm1::~TForm1() {
  progress_.reset();
  if (IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  DestroyWindow(owner_);
  DeleteObject(font_);
  DeleteObject(boldFont_);
}

void TForm1::BuildGroupBox() {
  GroupBox1 = Child(hwnd_, WC_BUTTONA, kHeaderGroupCaption, BS_GROUPBOX, kHeaderGroup,
                    IDC_GROUPBOX1, WS_EX_CONTROLPARENT);
  SetWindowSubclass(GroupBox1, GroupBoxProc, 0, 0);
  Label1.font = font_;
  Label1.hwnd = CreateWindowExA(
      0, kLabelClass, "", WS_CHILD | WS_VISIBLE, kSummaryNamesAt.left, kSummaryNamesAt.top, 0, 0,
      GroupBox1, reinterpret_cast<HMENU>(IDC_LABEL1), GetModuleHandleA(nullptr), &Label1);
  Label2.font = boldFont_;
  Label2.hwnd = CreateWindowExA(
      0, kLabelClass, "", WS_CHILD | WS_VISIBLE, kSummaryValuesAt.left, kSummaryValuesAt.top, 0, 0,
      GroupBox1, reinterpret_cast<HMENU>(IDC_LABEL2), GetModuleHandleA(nullptr), &Label2);
  // Tab order: "in KB" first, and the only tab stop of the two.
  RadioButton1 = Child(GroupBox1, WC_BUTTONA, kInKBCaption,
                       BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, kInKBButton, IDC_RADIOBUTTON1);
  RadioButton2 = Child(GroupBox1, WC_BUTTONA, kInBytesCaption, BS_AUTORADIOBUTTON, kInBytesButton,
                       IDC_RADIOBUTTON2);
  for (HWND control : {GroupBox1, RadioButton1, RadioButton2}) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  SendMessageA(RadioButton1, BM_SETCHECK, BST_CHECKED, 0);
}

void TForm1::BuildGrid() {
  StringGrid1 = Child(hwnd_, WC_LISTVIEWA, "",
                      WS_TABSTOP | WS_VSCROLL | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED |
                          LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                      kRecordGrid, IDC_STRINGGRID1, WS_EX_CLIENTEDGE);
  SendMessageA(StringGrid1, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  SendMessageA(StringGrid1, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
               LVS_EX_FULLROWSELECT);
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kColumnWidths[i];
    SendMessageA(StringGrid1, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  HWND header = ListView_GetHeader(StringGrid1);
  SetWindowSubclass(header, HeaderProc, 0, 0);
  SetWindowSubclass(StringGrid1, GridProc, 0, 0);
  // Lay the header out again at its fixed height.
  SetWindowPos(StringGrid1, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TForm1::PlaceFixedTexts() {
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    std::string text(kHeaderTexts[i]);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = text.data();
    SendMessageA(StringGrid1, LVM_SETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  Label1.SetLines({kFieldNames.begin(), kFieldNames.end()});
}

void TForm1::Show() {
  ShowWindow(owner_, SW_SHOWNOACTIVATE);
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
}

std::int64_t TForm1::CurrentGridRow() const {
  if (SendMessageA(StringGrid1, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
    return 0;
  }
  // The selection mark is where a selection of several rows started.
  LRESULT mark = SendMessageA(StringGrid1, LVM_GETSELECTIONMARK, 0, 0);
  if (mark < 0) {
    mark = SendMessageA(StringGrid1, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  }
  return mark + 1;
}

void TForm1::CloseNow() {
  PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void TForm1::PlaceCurrentRow(const CurrentRow& choice) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  // Only the selected rows and the focused one are cleared: item -1 would visit every row of
  // the table, a million of them after a large listing.
  for (const UINT which : {LVNI_SELECTED, LVNI_FOCUSED}) {
    for (LRESULT item = -1; (item = SendMessageA(StringGrid1, LVM_GETNEXTITEM,
                                                 static_cast<WPARAM>(item), which)) >= 0;) {
      SendMessageA(StringGrid1, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(&state));
    }
  }
  if (choice.row <= 0) {
    return;
  }
  const auto item = static_cast<WPARAM>(choice.row - 1);
  if (choice.fromTop) {
    SendMessageA(StringGrid1, LVM_ENSUREVISIBLE, 0, FALSE);
  }
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(StringGrid1, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
  SendMessageA(StringGrid1, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(item));
  SendMessageA(StringGrid1, LVM_ENSUREVISIBLE, item, FALSE);
}

void TForm1::ResetTable(const std::function<void()>& resize) {
  resize();
  SendMessageA(StringGrid1, LVM_SETITEMCOUNT, static_cast<WPARAM>(session_.Rows().Rows()),
               LVSICF_NOSCROLL);
}

void TForm1::ShowFilledRows() {
  InvalidateRect(StringGrid1, nullptr, TRUE);
}

void TForm1::ShowProgress(const std::string& archiveName, std::int64_t totalRows) {
  progress_ = std::make_unique<ListingProgress>(hwnd_, archiveName, totalRows);
}

void TForm1::UpdateProgress(std::int64_t rowsDone) {
  progress_->Update(rowsDone);
  Pump();
}

void TForm1::HideProgress() {
  progress_.reset();
}

// Lets the window system's messages through while a listing runs: repaints, and requests that
// the window remembers for the listing's end.
void TForm1::Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
      session_.RequestClose();
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TForm1::SetCaption(const std::string& caption) {
  SetWindowTextA(hwnd_, caption.c_str());
}

void TForm1::SetSummary(const Summary& summary) {
  Label2.SetLines(summary.lines);
}

void TForm1::ShowError(const std::string& message) {
  RunErrorBox(hwnd_, message, font_, seam_);
}

void TForm1::Open1Click() {
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

void TForm1::e1Click() {
  const ListingSession::ModalScope modal(session_);
  RunAboutBox(hwnd_, seam_);
}

void TForm1::RadioButton1Click() {
  session_.SetShowInKB(true);
}

void TForm1::RadioButton2Click() {
  session_.SetShowInKB(false);
}

bool TForm1::FormKeyPress(WPARAM key) {
  if (key != VK_ESCAPE || GetKeyState(VK_CONTROL) < 0) {
    return false;
  }
  SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  return true;
}

bool TForm1::PreviewMessage(MSG& message) {
  if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) {
    return false;
  }
  // Key preview: Esc pressed anywhere in the window closes it.
  if (message.message == WM_KEYDOWN && FormKeyPress(message.wParam)) {
    return true;
  }
  // Tab and the arrow keys between the grid and the radio buttons, as in a dialog.
  const bool onRadio = message.hwnd == RadioButton1 || message.hwnd == RadioButton2;
  if (message.message == WM_KEYDOWN &&
      (message.wParam == VK_TAB ||
       (onRadio && message.wParam >= VK_LEFT && message.wParam <= VK_DOWN))) {
    return IsDialogMessageA(hwnd_, &message) != FALSE;
  }
  return false;
}

void TForm1::DropFiles(HDROP drop) {
  const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  std::string path(length, '\0');
  // A name that does not come whole is not taken.
  const bool whole = DragQueryFileA(drop, 0, path.data(), length + 1) == length;
  DragFinish(drop);
  // The shell hands a drop to DragAcceptFiles windows as a copy.
  if (whole && session_.AnswerDrop(true, false, length) != DropAnswer::kRefuse) {
    session_.ListDroppedPath(path);
  }
}

void TForm1::DrawRow(const DRAWITEMSTRUCT& item) const {
  const RecordRow* row = session_.Rows().Row(item.itemID);
  const RowCells cells = row != nullptr ? FormatRow(*row, RunText::kShort) : RowCells{};
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  HGDIOBJ old = SelectObject(dc, font_);
  SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  int left = item.rcItem.left;
  const int top = item.rcItem.top;
  const int bottom = item.rcItem.bottom;
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    const int right = left + kColumnWidths[i];
    // The cell, then its grid lines: the last pixel column and row.
    const RECT cell{left, top, right - 1, bottom - 1};
    ExtTextOutA(dc, left + kCellTextInset, top + kCellTextInset, ETO_CLIPPED | ETO_OPAQUE, &cell,
                cells[i].data(), static_cast<UINT>(cells[i].size()), nullptr);
    const RECT lineRight{right - 1, top, right, bottom};
    const RECT lineBelow{left, bottom - 1, right, bottom};
    FillRect(dc, &lineRight, gridLine_);
    FillRect(dc, &lineBelow, gridLine_);
    left = right;
  }
  SelectObject(dc, old);
}

void TForm1::GetRowText(NMLVDISPINFOA& info) const {
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

LRESULT TForm1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDM_OPEN1:
          Open1Click();
          return 0;
        case IDM_E1:
          e1Click();
          return 0;
        case IDC_RADIOBUTTON1:
        case IDC_RADIOBUTTON2:
          // BN_CLICKED also comes for a click on the button already checked: only a newly
          // checked button counts.
          if (HIWORD(wParam) == BN_CLICKED &&
              SendMessageA(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0) == BST_CHECKED) {
            LOWORD(wParam) == IDC_RADIOBUTTON1 ? RadioButton1Click() : RadioButton2Click();
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
      if (wParam == IDC_STRINGGRID1) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kGridRowHeight;
        return TRUE;
      }
      break;
    case WM_DRAWITEM:
      if (wParam == IDC_STRINGGRID1) {
        DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
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

int RunMessageLoop(TForm1& form) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (form.PreviewMessage(message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace lister::win32
