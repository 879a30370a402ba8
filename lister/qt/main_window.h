// TForm1: the main window, a view of the archive listing. The listing keeps all logic and texts;
// the window places them, passes the user's commands on and shows what comes back. Every widget
// carries its member name as its object name.
#pragma once

#include <QMainWindow>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "archive_listing.h"
#include "archive_reader.h"
#include "dialog_runner.h"
#include "listing_view.h"
#include "window_layout.h"

class QAction;
class QGroupBox;
class QMenu;
class QMenuBar;
class QRadioButton;
class QTableView;

namespace lister::window {

class ArchiveOpenDialog;
class LineLabel;
class ListingProgress;
class RecordTableModel;

class TForm1 : public QMainWindow, public ListingView {
  Q_OBJECT

 public:
  explicit TForm1(archive::ArchiveReader& reader, DialogRunner runDialog = ExecDialog,
                  QWidget* parent = nullptr);
  ~TForm1() override;

  // The header row texts and the field names, placed once at start-up.
  void PlaceFixedTexts();
  void SetArchivePath(std::string path) { listing_.SetArchivePath(std::move(path)); }
  // Lists the archive at the archive path, then places the current row. Ignored while a
  // listing runs (its progress dialog lets events through); false then.
  bool ListArchive();

  // The grid row current now (the first record is row 1), 0 when there is none.
  std::int64_t CurrentGridRow() const;
  void SetProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }

  void ResizeTable(std::int64_t recordRows) override;
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;
  void SetCaption(const std::string& caption) override;
  void SetSummary(const Summary& summary) override;
  void ShowError(const std::string& message) override;

 public slots:
  void Open1Click();
  void e1Click();
  void RadioButton1Click();
  void RadioButton2Click();

 protected:
  // Key preview: sees every key pressed in this window before the focused control does.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // True when the key was Esc and asked the window to close.
  bool FormKeyPress(QKeyEvent* event);
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenu();
  void BuildGroupBox(QWidget* client);
  void BuildGrid(QWidget* client);
  class ListingScope;
  // False, changing nothing, while a listing runs.
  bool ListChosenPath(const QString& path);
  void PlaceCurrentRow(std::int64_t previousRow);

  ArchiveListing listing_;
  DialogRunner runDialog_;
  RecordTableModel* model_;
  std::unique_ptr<ListingProgress> progress_;
  std::chrono::milliseconds progressDelay_;
  bool listingRuns_ = false;
  bool closeRequested_ = false;  // during the listing
  bool centred_ = false;

  QMenuBar* MainMenu1;
  QMenu* File1;
  QAction* Open1;
  QMenu* Help1;
  QAction* e1;
  QGroupBox* GroupBox1;
  LineLabel* Label1;
  LineLabel* Label2;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  QTableView* StringGrid1;
  ArchiveOpenDialog* OpenDialog1;
};

}  // namespace lister::window
