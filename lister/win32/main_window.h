// TForm1: the main window of Trovanta.exe, a view of the archive listing. The listing keeps all
// logic and texts; the window places them, passes the user's commands on and shows what comes
// back. Names and titles from the archive reach the ANSI functions as stored, so they show in
// the system's code page.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive_listing.h"
#include "archive_reader.h"
#include "dialogs.h"
#include "listing_view.h"
#include "record_row.h"

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

class TForm1 : public ListingView {
 public:
  // `quitOnClose`: closing the window ends the message loop (the program), not only the window.
  TForm1(archive::ArchiveReader& reader, DialogSeam seam = {}, bool quitOnClose = true);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  HWND Handle() const { return hwnd_; }
  HWND Owner() const { return owner_; }
  HWND Grid() const { return StringGrid1; }

  // The header row texts and the field names, placed once at start-up.
  void PlaceFixedTexts();
  void SetArchivePath(std::string path) { listing_.SetArchivePath(std::move(path)); }
  // Lists the archive at the archive path, then places the current row; false, changing
  // nothing, while a listing runs.
  bool ListArchive();
  void Show();

  // The grid row current now (the first record is row 1), 0 when there is none.
  std::int64_t CurrentGridRow() const;
  void SetProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }

  // Key preview for the message loop: true when the message was handled here.
  bool PreviewMessage(MSG& message);

  void ResizeTable(std::int64_t recordRows) override;
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;
  void SetCaption(const std::string& caption) override;
  void SetSummary(const Summary& summary) override;
  void ShowError(const std::string& message) override;

  void Open1Click();
  void e1Click();
  void RadioButton1Click();
  void RadioButton2Click();
  // True when the key was Esc and asked the window to close.
  bool FormKeyPress(WPARAM key);

 private:
  friend LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildGroupBox();
  void BuildGrid();
  void DrawRow(const DRAWITEMSTRUCT& item) const;
  void GetRowText(NMLVDISPINFOA& info) const;
  bool ListChosenPath(const std::string& path);
  void PlaceCurrentRow(std::int64_t previousRow);
  void DropFiles(HDROP drop);
  void Pump();

  ArchiveListing listing_;
  DialogSeam seam_;
  bool quitOnClose_;
  ArchiveOpenDialog OpenDialog1;
  std::vector<RecordRow> rows_;
  std::int64_t rowCount_ = 0;
  std::unique_ptr<ListingProgress> progress_;
  std::chrono::milliseconds progressDelay_;
  std::chrono::steady_clock::time_point listingStart_;
  std::chrono::steady_clock::time_point lastUpdate_;
  bool listingRuns_ = false;
  bool closeRequested_ = false;  // during the listing

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
