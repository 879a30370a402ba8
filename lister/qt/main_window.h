// Trovanta's main window, drawn in Qt over the listing session. The session keeps the behaviour
// and the listing the texts; the window builds its controls from the layout table, passes the
// user's commands on and shows what comes back. Every control carries the name by which tests and
// accessibility tools find it as its object name ("StringGrid1", "Label2", ...).
#pragma once

#include <QMainWindow>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "archive/archive_reader.h"
#include "lister/desktop/listing_session.h"
#include "lister/qt/dialog_runner.h"

class QAction;
class QGroupBox;
class QMenu;
class QMenuBar;
class QRadioButton;

namespace lister::window {

class ArchiveOpenDialog;
class LineLabel;
class RecordGrid;
class ListingProgress;
class RecordTableModel;

class MainWindow : public QMainWindow, private SessionWindow {
  Q_OBJECT

 public:
  explicit MainWindow(archive::ArchiveReader& reader, DialogRunner runDialog = ExecDialog,
                      QWidget* parent = nullptr);
  ~MainWindow() override;

  // The header row texts and the field names, placed once at start-up.
  void PlaceFixedTexts();
  void SetArchivePath(std::string path) { session_.SetArchivePath(std::move(path)); }
  // Lists the archive at the archive path, then places the current row. Ignored while a
  // listing runs (its progress dialog lets events through); false then.
  bool ListArchive() { return session_.ListArchive(); }

  // Public for the tests; the session's window contract says what it returns.
  std::int64_t CurrentGridRow() const override;
  void SetProgressDelay(std::chrono::milliseconds delay) { session_.SetProgressDelay(delay); }

 public slots:
  void OnOpen();
  void OnAbout();
  // A unit button became the checked one.
  void OnUnitChosen(bool inKb);
  // Ctrl+C or Ctrl+Insert in the record grid: the selected rows to the clipboard.
  void OnCopyRows();

 protected:
  // Key preview: sees every key pressed in this window before the focused control does.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // True when the key was Esc and asked the window to close.
  bool CloseOnEsc(QKeyEvent* event);
  // True when the key was F10 and opened the menu bar's first menu.
  bool OpenMenuOnF10(QKeyEvent* event);
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenu();
  void BuildGroupBox(QWidget* client);
  void BuildGrid(QWidget* client);
  bool AcceptDrop(QDropEvent* event) const;

  void ResetTable(const std::function<void()>& resize) override;
  void ShowFilledRows() override;
  void SetCaption(const std::string& caption) override;
  void SetSummary(const Summary& summary) override;
  void ShowError(const std::string& message) override;
  void ShowProgress(const std::string& archiveName, std::int64_t totalRows) override;
  void UpdateProgress(std::int64_t rowsDone) override;
  void HideProgress() override;
  void PlaceCurrentRow(const CurrentRow& choice) override;
  void CloseNow() override { close(); }

  ListingSession session_;
  DialogRunner runDialog_;
  RecordTableModel* model_;
  std::unique_ptr<ListingProgress> progress_;
  bool centred_ = false;

  QMenuBar* menuBar_;
  QMenu* fileMenu_;
  QAction* openAction_;
  QMenu* helpMenu_;
  QAction* aboutAction_;
  QGroupBox* headerGroup_;
  LineLabel* summaryNames_;
  LineLabel* summaryValues_;
  QRadioButton* inKbButton_;
  QRadioButton* inBytesButton_;
  RecordGrid* recordGrid_;
  ArchiveOpenDialog* openDialog_;
};

}  // namespace lister::window
