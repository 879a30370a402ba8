#include "about.h"

#include <string>

#include "resource.h"
#include "window_layout.h"

namespace lister::win32 {

namespace {

struct AboutLayout {
  int dpi = 96;
  int Px(int value) const { return MulDiv(value, dpi, 96); }
  RECT Panel() const { return {Px(8), Px(8), Px(8 + 281), Px(8 + 65)}; }
};

std::wstring Wide(std::string_view utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          static_cast<int>(wide.size()))));
  return wide;
}

// Places a label at (left, top) in the panel, sized to its text.
void PlaceLabel(HWND box, int id, HFONT font, const AboutLayout& at, int left, int top) {
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
  MoveWindow(label, at.Px(8 + left), at.Px(8 + top), size.cx, metrics.tmHeight, FALSE);
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
            PlaceLabel(box, IDC_PRODUCTNAME, bold, at, 88, 16);
            PlaceLabel(box, IDC_COPYRIGHT, font, at, 88, 32);
            PlaceLabel(box, IDC_VERSION, font, at, 88, 40);
            HWND ok = GetDlgItem(box, IDOK);
            SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            MoveWindow(ok, at.Px(111), at.Px(88), at.Px(75), at.Px(33), FALSE);
            SetClientSize(box, at.Px(298), at.Px(130));
            CentreOnScreen(box);
            SetFocus(ok);
            return FALSE;
          }
          case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(box, &paint);
            // AboutPanel: a lowered outer and a raised inner bevel; the icon stretched to 33 px.
            RECT panel = at.Panel();
            DrawEdge(dc, &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
            DrawIconEx(dc, panel.left + at.Px(24), panel.top + at.Px(16), icon, at.Px(33),
                       at.Px(33), 0, nullptr, DI_NORMAL);
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
