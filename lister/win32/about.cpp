#include "lister/win32/about.h"

#include <string>

#include "lister/desktop/window_layout.h"
#include "lister/win32/resource.h"

namespace lister::win32 {

namespace {

struct AboutLayout {
  int dpi = 96;
  int Px(int value) const { return MulDiv(value, dpi, 96); }
  RECT Place(const Box& box) const {
    return {Px(box.left), Px(box.top), Px(box.left + box.width), Px(box.top + box.height)};
  }
};

std::wstring Wide(std::string_view utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  return wide;
}

// Places a label at its place in the panel, sized to its text.
void PlaceLabel(HWND box, int id, HFONT font, const AboutLayout& at, const Box& place) {
  HWND label = GetDlgItem(box, id);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  wchar_t text[128] = {};
  const int length = GetWindowTextW(label, text, 128);
  HDC dc = GetDC(box);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text, length, &size);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(box, dc);
  MoveWindow(label, at.Px(kAboutPanel.left + place.left), at.Px(kAboutPanel.top + place.top),
             size.cx, metrics.tmHeight, FALSE);
}

}  // namespace

INT_PTR RunAboutBox(HWND owner, const DialogSeam& seam) {
  AboutLayout at;
  HFONT font = nullptr;
  HFONT bold = nullptr;
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM));
  const INT_PTR result = RunBox(
      owner, IDD_ABOUTBOX, seam, [&](HWND box, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        switch (message) {
          case WM_INITDIALOG: {
            HDC dc = GetDC(box);
            at.dpi = GetDeviceCaps(dc, LOGPIXELSY);
            ReleaseDC(box, dc);
            font = CreateWindowFont(at.Px(kWindowFontPixels));
            bold = CreateWindowFont(at.Px(kWindowFontPixels), true);
            SetWindowTextA(box, std::string(kAboutCaption).c_str());
            SetDlgItemTextW(box, IDC_COPYRIGHT, Wide(kCopyrightText).c_str());
            PlaceLabel(box, IDC_PRODUCTNAME, bold, at, kProductNameAt);
            PlaceLabel(box, IDC_COPYRIGHT, font, at, kCopyrightAt);
            PlaceLabel(box, IDC_VERSION, font, at, kVersionAt);
            HWND ok = GetDlgItem(box, IDOK);
            SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            const RECT okAt = at.Place(kOKButton);
            MoveWindow(ok, okAt.left, okAt.top, okAt.right - okAt.left, okAt.bottom - okAt.top,
                       FALSE);
            SetClientSize(box, at.Px(kAboutClientWidth), at.Px(kAboutClientHeight));
            CentreOnScreen(box);
            SetFocus(ok);
            return FALSE;
          }
          case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(box, &paint);
            // AboutPanel: a lowered outer and a raised inner bevel; the icon stretched to 33 px.
            RECT panel = at.Place(kAboutPanel);
            DrawEdge(dc, &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
            DrawIconEx(dc, panel.left + at.Px(kProgramIcon.left),
                       panel.top + at.Px(kProgramIcon.top), icon, at.Px(kProgramIcon.width),
                       at.Px(kProgramIcon.height), 0, nullptr, DI_NORMAL);
            EndPaint(box, &paint);
            return TRUE;
          }
          case WM_COMMAND:
            // OK is not a cancel button: the IDCANCEL that Esc sends does nothing.
            if (LOWORD(wParam) == IDOK) {
              EndDialog(box, IDOK);
            }
            return TRUE;
          case WM_CLOSE:
            EndDialog(box, IDCANCEL);
            return TRUE;
          default:
            return FALSE;
        }
      });
  DeleteObject(font);
  DeleteObject(bold);
  return result;
}

}  // namespace lister::win32
