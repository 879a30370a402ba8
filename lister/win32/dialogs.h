// The modal boxes of Trovanta.exe other than the about box, and the seam through which the tests
// answer every dialog in place of the user.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "lister/desktop/listing_session.h"

namespace lister::win32 {

struct DialogSeam {
  // Runs the common open dialog on a filled request.
  std::function<BOOL(OPENFILENAMEA&)> getOpenFileName = [](OPENFILENAMEA& request) {
    return ::GetOpenFileNameA(&request);
  };
  // Called once each modal box of our own (error box, about box) is up, with its handle.
  std::function<void(HWND)> boxShown;
};

// A font of the program's windows: MS Sans Serif, `pixels` high.
HFONT CreateWindowFont(int pixels, bool bold = false);

// Runs dialog resource `id` modally over `owner`; `handle` gets every message but the first
// WM_INITDIALOG work of the seam. Returns the dialog's result.
using BoxHandler = std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)>;
INT_PTR RunBox(HWND owner, int id, const DialogSeam& seam, BoxHandler handle);

// Moves top-level window `window` to the centre of the screen's work area.
void CentreOnScreen(HWND window);

// Sizes `window` so that its client area is `width` x `height`.
void SetClientSize(HWND window, int width, int height);

// The error box: caption "Error", the stop icon, the message wrapped at half the screen's
// width, one OK button for Enter and Esc; centred, modal, silent.
void RunErrorBox(HWND owner, const std::string& message, HFONT font, const DialogSeam& seam);

// The width of `text` in pixels in the font selected into `dc`.
int TextWidth(HDC dc, std::string_view text);

// OpenDialog1, opened on the last confirmed choice: the chosen file's full path and filter, or
// nothing when cancelled or longer than a path may be.
std::optional<OpenChoice> RunOpenDialog(HWND owner, const DialogSeam& seam, const OpenChoice& last);

// The progress window of a long listing: records done of the total, and a Cancel button that
// calls `cancel`; Esc, its close box and Alt+F4 press it, as in any dialog. It leaves its owner
// enabled, so that the owner's close box, Esc and Alt+F4 still reach the owner (whose session
// refuses the other commands meanwhile). Only the owner closes it. The seam hears of it once it
// is shown.
class ListingProgress {
 public:
  ListingProgress(HWND owner, const std::string& archiveName, std::int64_t totalRows,
                  const DialogSeam& seam, std::function<void()> cancel);
  ~ListingProgress();
  ListingProgress(const ListingProgress&) = delete;
  ListingProgress& operator=(const ListingProgress&) = delete;

  void Update(std::int64_t rowsDone);
  HWND Handle() const { return dialog_; }

 private:
  HWND dialog_;
  std::string archiveName_;
  std::int64_t totalRows_;
  std::function<void()> cancel_;
};

}  // namespace lister::win32
