// TForm1: the main window of Trovanta.exe, drawn in Win32 over the listing session. The session
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
#include <vector>

#include "archive/archive_reader.h"
#include "lister/desktop/listing_session.h"
#include "lister/win32/dialogs.h"

namespace lister::win32 {

// Registers the window classes of the program; once per process.
void RegisterWindowClasses(HINSTANCE instance);

// Label1 and Label2: lines side by side with the other label's, 13 pixels each, "&" shown as
// itself, sized to the text, opaque.
struct LineLabel {
  HWND hwnd = nullptr;
  HFONT font = nullptr;
  std::vector<std::string> lines;

  void SetLines(std::vector<std::string> texts);
};

class TForm1 : private SessionWindow {
 public:
  // `quitOnClose`: closing the window ends the message loop (the program), not only the window.
  TForm1(archive::ArchiveReader& reader, DialogSeam seam = {}, bool quitOnClose = true);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  HWND Handle() const { return hwnd_; }
  HWND Owner() const { return owner_; }
  HWND Grid() const { return StringGrid1; }

  // Puts the header row and the field names into their controls; called once, at start-up.
  void PlaceFixedTexts();
  void SetArchivePath(std::string path) { session_.SetArchivePath(std::move(path)); }
  // Lists the archive at the archive path, then places the current row; false, changing
  // nothing, while a listing runs.
  bool ListArchive() { return session_.ListArchive(); }
  void Show();

  std::int64_t CurrentGridRow() const override;  // as SessionWindow says
  void SetProgressDelay(std::chrono::milliseconds delay) { session_.SetProgressDelay(delay); }

  // Key preview for the message loop: true when the message was handled here.
  bool PreviewMessage(MSG& message);

  void ShowError(const std::string& message) override;

  void Open1Click();
  void e1Click();
  void RadioButton1Click();
  void RadioButton2Click();
  // Esc asks the window to close (true); any other key is left to the control (false).
  bool FormKeyPress(WPARAM key);

 private:
  friend LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildGroupBox();
  void BuildGrid();
  void DrawRow(const DRAWITEMSTRUCT& item) const;
  void GetRowText(NMLVDISPINFOA& info) const;
  void DropFiles(HDROP drop);
  void Pump();

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
  HWND GroupBox1 = nullptr;
  LineLabel Label1;
  LineLabel Label2;
  HWND RadioButton1 = nullptr;
  HWND RadioButton2 = nullptr;
  HWND StringGrid1 = nullptr;
};

// Runs the message loop until the program ends; returns its exit status.
int RunMessageLoop(TForm1& form);

}  // namespace lister::win32
