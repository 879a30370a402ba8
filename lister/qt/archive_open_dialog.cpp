#include "lister/qt/archive_open_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <vector>

#include "lister/qt/visible_text.h"
#include "lister/qt/window_placement.h"

namespace lister::window {

const std::vector<FileFilter>& ArchiveFilters() {
  static const std::vector<FileFilter> filters = [] {
    std::vector<FileFilter> made;
    for (const FilterText& filter : kArchiveFilters) {
      QStringList patterns = FixedText(filter.patterns).split(u';');
      // "*.*" means every file, as on Windows, where a name without a dot matches it too.
      patterns.replaceInStrings(QStringLiteral("*.*"), QStringLiteral("*"));
      made.push_back({FixedText(filter.description), patterns});
    }
    return made;
  }();
  return filters;
}

namespace {

// Qt's own dialog collapses blanks in filter names and reads patterns only from a
// space-separated list in parentheses; the exact names and patterns are put in place here.
void ApplyFilter(QFileDialog& dialog, int index) {
  const FileFilter& filter = ArchiveFilters().at(static_cast<std::size_t>(index));
  if (auto* files = dialog.findChild<QFileSystemModel*>()) {
    files->setNameFilters(filter.patterns);
  }
}

QComboBox* FilterList(QFileDialog& dialog) {
  return dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}

int SelectedFilter(QFileDialog& dialog) {
  if (QComboBox* list = FilterList(dialog)) {
    return list->currentIndex();
  }
  return static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
}

}  // namespace

ArchiveOpenDialog::ArchiveOpenDialog(ListingSession& session, DialogRunner runDialog,
                                     QObject* parent)
    : QObject(parent), session_(session), runDialog_(std::move(runDialog)) {
  setObjectName("OpenDialog1");
}

void ArchiveOpenDialog::Configure(QFileDialog& dialog) const {
  dialog.setObjectName("OpenDialog");
  // Qt's own dialog, on every desktop, so that the filters above hold everywhere.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setWindowTitle(FixedText(kOpenDialogTitle));
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList descriptions;
  for (const FileFilter& filter : ArchiveFilters()) {
    descriptions.append(filter.description);
  }
  dialog.setNameFilters(descriptions);
  if (QComboBox* list = FilterList(dialog)) {
    for (int i = 0; i < list->count() && i < descriptions.size(); ++i) {
      list->setItemText(i, descriptions[i]);
    }
  }
  const OpenChoice& last = session_.LastChoice();
  const int filterIndex = static_cast<int>(last.filter);
  dialog.selectNameFilter(dialog.nameFilters().value(filterIndex));
  ApplyFilter(dialog, filterIndex);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog] { ApplyFilter(dialog, SelectedFilter(dialog)); });
  if (!last.path.empty()) {
    dialog.selectFile(PathText(last.path));
  }
  // Shown, as users of such dialogs expect it, and ignored: listing never writes.
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    auto* readOnly = new QCheckBox(QStringLiteral("Open as &read-only"), &dialog);
    readOnly->setObjectName("ReadOnlyCheckBox");
    grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
  }
}

std::optional<QString> ArchiveOpenDialog::Execute(QWidget* parent) {
  QFileDialog dialog(parent);
  Configure(dialog);
  // At a large scale its remembered or natural size may exceed the screen.
  FitOnScreenWhenShown(dialog);
  if (runDialog_(dialog) != QDialog::Accepted) {
    return std::nullopt;
  }
  const QString path = dialog.selectedFiles().value(0);
  if (!ListingSession::AcceptsPathLength(static_cast<std::size_t>(path.toUcs4().size()))) {
    return std::nullopt;
  }
  // Only a confirmed choice is kept: a cancel leaves the filter and the path as they were.
  const int filter = SelectedFilter(dialog);
  session_.RememberChoice({PathBytes(path), filter >= 0 ? static_cast<std::size_t>(filter)
                                                        : session_.LastChoice().filter});
  return path;
}

}  // namespace lister::window
