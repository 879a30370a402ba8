// MainWindow: the main window of Trovanta.exe, drawn in Win32 over the listing session. The session
// keeps the behaviour and the listing the texts; the window builds its controls from the layout
// table, passes the user's commands on and shows what comes back. Names and titles from the
// archive reach the ANSI functions as stored, so they show in the system's code page.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_reader.h"
#include "lister/desktop/listing_session.h"
#include "lister/win32/dialogs.h"

namespace lister::win32 {

// Registers the window classes of the program; once per process.
void RegisterWindowClasses(HINSTANCE instance);

// The summary's field names and values: lines side by side with the other label's, 13 pixels
// each, "&" shown as itself, sized to the text, opaque. The window text is what screen readers
// read: `accessibleText`, or the lines when it is empty.
struct LineLabel {
  HWND hwnd = nullptr;
  HFONT font = nullptr;
  std::vector<std::string> lines;

  void SetLines(std::vector<std::string> texts, const std::string& accessibleText = {});
};

class MainWindow : private SessionWindow {
 public:
  // `quitOnClose`: closing the window ends the message loop (the program), not only the window.
  MainWindow(archive::ArchiveReader& reader, DialogSeam seam = {}, bool quitOnClose = true);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  HWND Owner() const { return owner_; }
  HWND Grid() const { return recordGrid_; }
  // A control by the name that users' tools know it by ("StringGrid1", "Label2" ...); nullptr for
  // a name it does not have.
  HWND ControlNamed(std::string_view name) const;

  // Puts the header row and the field names into their controls; called once, at start-up.
  void PlaceFixedTexts();
  void SetArchivePath(std::string path) { session_.SetArchivePath(std::move(path)); }
  // Lists the archive at the archive path, then places the current row; false, changing
  // nothing, while a listing runs.
  bool ListArchive() { return session_.ListArchive(); }
  void Show();

  std::int64_t CurrentGridRow() const override;  // as SessionWindow says
  void SetProgressDelay(std::chrono::milliseconds delay) { session_.SetProgressDelay(delay); }

  // Key preview for the message loop: true when the message was handled here, or refused
  // because a listing runs.
  bool PreviewMessage(MSG& message);

  void ShowError(const std::string& message) override;

  void OnOpen();
  void OnAbout();
  // A unit button became the chosen one: sizes in KB (true) or in bytes.
  void OnUnitChosen(bool inKB);
  // Esc asks the window to close (true); any other key is left to the control (false).
  bool OnKeyPress(WPARAM key);
  // Ctrl+C, Ctrl+Insert: the selected rows to the clipboard as tab-separated lines.
  void CopySelectedRows() const;

 private:
  friend LRESULT CALLBACK MainWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildHeaderGroup();
  void BuildGrid();
  void DrawRow(const DRAWITEMSTRUCT& item) const;
  void GetRowText(NMLVDISPINFOA& info) const;
  void DropFiles(HDROP drop);
  void Pump();
  // Remembers the focused control when the window is deactivated, restores it on activation.
  void OnActivate(bool active);

  void ResetTable(const std::function<void()>& resize) override;
  void ShowFilledRows() override;
  void SetCaption(const std::string& caption) override;
  void SetSummary(const Summary& summary) override;
  void ShowProgress(const std::string& archiveName, std::int64_t totalRows) override;
  void UpdateProgress(std::int64_t rowsDone) override;
  void HideProgress() override;
  void PlaceCurrentRow(const CurrentRow& choice) override;
  void CloseNow() override;

  ListingSession session_;
  DialogSeam seam_;
  bool quitOnClose_;
  std::unique_ptr<ListingProgress> progress_;

  HFONT font_;
  HFONT boldFont_;
  HBRUSH gridLine_;
  HWND owner_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND headerGroup_ = nullptr;
  LineLabel summaryNames_;
  LineLabel summaryValues_;
  HWND inKbButton_ = nullptr;
  HWND inBytesButton_ = nullptr;
  HWND recordGrid_ = nullptr;
  HWND focusBeforeDeactivation_ = nullptr;
};

// Runs the message loop until the program ends; returns its exit status.
int RunMessageLoop(MainWindow& window);

}  // namespace lister::win32
