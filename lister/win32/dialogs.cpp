#include "lister/win32/dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "lister/desktop/text_wrap.h"
#include "lister/win32/resource.h"

namespace lister::win32 {

namespace {

// Posted by a box to itself once it is up, for the seam.
constexpr UINT kBoxShown = WM_APP + 1;

struct BoxContext {
  const DialogSeam* seam;
  BoxHandler handle;
};

INT_PTR CALLBACK BoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    PostMessageA(dialog, kBoxShown, 0, 0);
  }
  auto* context = reinterpret_cast<BoxContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (context == nullptr) {
    return FALSE;
  }
  if (message == kBoxShown) {
    if (context->seam->boxShown) {
      context->seam->boxShown(dialog);
    }
    return TRUE;
  }
  return context->handle(dialog, message, wParam, lParam);
}

}  // namespace

int TextWidth(HDC dc, std::string_view text) {
  SIZE size{};
  // A failed measure leaves the size 0: the text is then laid out as if it took no room.
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

HFONT CreateWindowFont(int pixels, bool bold) {
  return CreateFontA(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

INT_PTR RunBox(HWND owner, int id, const DialogSeam& seam, BoxHandler handle) {
  BoxContext context{&seam, std::move(handle)};
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), owner, BoxProc,
                         reinterpret_cast<LPARAM>(&context));
}

void CentreOnScreen(HWND window) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetClientSize(HWND window, int width, int height) {
  RECT frame{};
  GetWindowRect(window, &frame);
  RECT client{};
  GetClientRect(window, &client);
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + width - client.right,
               frame.bottom - frame.top + height - client.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RunErrorBox(HWND owner, const std::string& message, HFONT font, const DialogSeam& seam) {
  RunBox(owner, IDD_ERRORBOX, seam, [&](HWND box, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      EndDialog(box, IDOK);
      return TRUE;
    }
    if (msg != WM_INITDIALOG) {
      return FALSE;
    }
    HWND text = GetDlgItem(box, IDC_ERRORTEXT);
    HWND ok = GetDlgItem(box, IDOK);
    SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendDlgItemMessageA(box, IDC_ERRORICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_HAND)), 0);
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, font);
    const std::vector<std::string> lines =
        WrapText(message, GetSystemMetrics(SM_CXSCREEN) / 2,
                 [dc](std::string_view part) { return TextWidth(dc, part); });
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int textWidth = 0;
    std::string shown;
    for (const std::string& line : lines) {
      textWidth = std::max(textWidth, TextWidth(dc, line));
      shown += (shown.empty() ? "" : "\r\n") + line;
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    // Pixels: a 12-pixel margin, the 32-pixel icon, the text beside it, OK centred below.
    constexpr int kMargin = 12, kIcon = 32, kButtonWidth = 75, kButtonHeight = 23;
    const int textHeight =
        metrics.tmHeight * static_cast<int>(std::max<std::size_t>(lines.size(), 1));
    const int textTop = kMargin + std::max(0, (kIcon - textHeight) / 2);
    const int textLeft = 2 * kMargin + kIcon;
    const int width = std::max(textLeft + textWidth + kMargin, kButtonWidth + 2 * kMargin);
    const int buttonTop = std::max(kMargin + kIcon, textTop + textHeight) + kMargin;
    SetWindowTextA(text, shown.c_str());
    MoveWindow(GetDlgItem(box, IDC_ERRORICON), kMargin, kMargin, kIcon, kIcon, FALSE);
    MoveWindow(text, textLeft, textTop, textWidth + 1, textHeight, FALSE);
    MoveWindow(ok, (width - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight, FALSE);
    SetClientSize(box, width, buttonTop + kButtonHeight + kMargin);
    CentreOnScreen(box);
    SetFocus(ok);
    return FALSE;
  });
}

std::optional<OpenChoice> RunOpenDialog(HWND owner, const DialogSeam& seam,
                                        const OpenChoice& last) {
  std::string filters;
  for (const FilterText& filter : kArchiveFilters) {
    ((filters += filter.description) += '\0') += filter.patterns;
    filters += '\0';
  }
  std::vector<char> file(kMaxChosenPathLength + 1, '\0');
  last.path.copy(file.data(), std::min(last.path.size(), kMaxChosenPathLength));
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = filters.c_str();
  request.nFilterIndex = static_cast<DWORD>(last.filter + 1);
  request.lpstrFile = file.data();
  request.nMaxFile = static_cast<DWORD>(file.size());
  const std::string title(kOpenDialogTitle);
  request.lpstrTitle = title.c_str();
  // No existence check and the read-only box shown (it is ignored: listing never writes); the
  // current folder stays where it was, so that relative paths keep their meaning.
  request.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  // A longer path does not fit the buffer and fails the call, which counts as a cancel.
  if (!seam.getOpenFileName(request)) {
    return std::nullopt;
  }
  const std::string path(file.data(), strnlen(file.data(), file.size()));
  if (!ListingSession::AcceptsPathLength(path.size())) {
    return std::nullopt;
  }
  const bool known = request.nFilterIndex >= 1 && request.nFilterIndex <= kArchiveFilters.size();
  return OpenChoice{path, known ? request.nFilterIndex - 1 : last.filter};
}

namespace {

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  const auto* cancel =
      reinterpret_cast<const std::function<void()>*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && cancel != nullptr) {
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);  // once is enough
    (*cancel)();
    return TRUE;
  }
  return FALSE;  // the dialog's own handling turns its close box and Alt+F4 into IDCANCEL
}

}  // namespace

ListingProgress::ListingProgress(HWND owner, const std::string& archiveName, std::int64_t totalRows,
                                 const DialogSeam& seam, std::function<void()> cancel)
    : archiveName_(archiveName), totalRows_(totalRows), cancel_(std::move(cancel)) {
  dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), owner,
                               ProgressProc, reinterpret_cast<LPARAM>(&cancel_));
  SendDlgItemMessageA(dialog_, IDC_PROGRESSBAR, PBM_SETRANGE32, 0,
                      static_cast<LPARAM>(std::min<std::int64_t>(totalRows, INT_MAX)));
  CentreOnScreen(dialog_);
  ShowWindow(dialog_, SW_SHOW);
  SetFocus(GetDlgItem(dialog_, IDCANCEL));  // for Esc, also when shown while inactive
  if (seam.boxShown) {
    seam.boxShown(dialog_);
  }
}

ListingProgress::~ListingProgress() {
  DestroyWindow(dialog_);
}

void ListingProgress::Update(std::int64_t rowsDone) {
  const std::string text = std::string(kListingProgressPrefix) + archiveName_ + "\r\n" +
                           std::to_string(rowsDone) + " of " + std::to_string(totalRows_);
  SetDlgItemTextA(dialog_, IDC_PROGRESSTEXT, text.c_str());
  SendDlgItemMessageA(dialog_, IDC_PROGRESSBAR, PBM_SETPOS,
                      static_cast<WPARAM>(std::min<std::int64_t>(rowsDone, INT_MAX)), 0);
}

}  // namespace lister::win32
