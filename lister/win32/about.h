// TAboutBox: the modal about box, laid out at 96 pixels per inch and scaled to the logical
// resolution the system reports, unlike the main window.
#pragma once

#include <windows.h>

#include "lister/win32/dialogs.h"

namespace lister::win32 {

// Creates the box over `owner`, shows it modally and destroys it when it closes. Enter presses
// OK; Esc does nothing; the close box closes it too. Returns IDOK or IDCANCEL.
INT_PTR RunAboutBox(HWND owner, const DialogSeam& seam);

}  // namespace lister::win32
