#include "lister/cli/console_views.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "archive/ansi_text.h"
#include "lister/cli/console_text.h"
#include "lister/cli/json_listing.h"
#include "lister/core/display_text.h"

namespace lister::cli {

namespace {

constexpr std::string_view kColumnGap = "  ";

// The cells of a row as a terminal or a stream shows them.
RowCells EscapedCells(const RecordRow& record, bool escapeSeparators) {
  RowCells cells = FormatRowUtf8(record);
  for (std::string& cell : cells) {
    cell = EscapeControls(cell, escapeSeparators);
  }
  return cells;
}

std::string PadTo(std::string_view text, std::size_t width) {
  std::string padded(text);
  const std::size_t used = DisplayWidth(text);
  if (used < width) {
    padded.append(width - used, ' ');
  }
  return padded;
}

// The summary's five values beside their field names; a failed listing's values are empty.
std::array<std::string, kSummaryLineCount> SummaryValues(const Summary& summary) {
  std::array<std::string, kSummaryLineCount> values;
  if (summary.listed) {
    std::copy_n(SummaryLinesUtf8(summary).begin(), kSummaryLineCount, values.begin());
  }
  return values;
}

Json ErrorJson(FailureKind kind, const std::string& message) {
  return {{"kind", KindName(kind)}, {"message", message}};
}

// The text of errno after a failed write; EIO's where the C library left it unset.
std::string LastErrorText() {
  return std::strerror(errno != 0 ? errno : EIO);
}

}  // namespace

void ConsoleView::BeginArchive(const std::string& path) {
  path_ = path;
  caption_.clear();
  summary_ = {};
  error_.reset();
  cause_ = {};
  header_ = {};
  BeginTable();
}

std::string ConsoleView::ErrorMessage() const {
  return cause_.reason.empty() ? *error_ : *error_ + " (" + cause_.reason + ")";
}

bool ConsoleView::FinishArchive() {
  if (!Failed()) {
    PrintListing();
  } else if (cause_.kind == FailureKind::kChanged) {
    PrintStoppedListing();
  } else {
    PrintError();
  }
  if (outputFailure_.empty() && std::fflush(out_) != 0) {
    NoteOutputFailure(LastErrorText());
  }
  return !Failed();
}

void ConsoleView::Write(std::string_view text) {
  if (outputFailure_.empty() && std::fwrite(text.data(), 1, text.size(), out_) != text.size()) {
    NoteOutputFailure(LastErrorText());
  }
}

void ConsoleView::NoteOutputFailure(const std::string& cause) {
  if (outputFailure_.empty()) {
    outputFailure_ = cause;
  }
}

void ConsoleView::PrintError() {
  std::string line = "trovanta-ls: ";
  if (!path_.empty()) {
    line += EscapeControls(path_) + ": ";
  }
  line += EscapeControls(ErrorMessage()) + '\n';
  // A message that standard error cannot take has nowhere else to go; the status still tells.
  std::fputs(line.c_str(), err_);
}

void TableView::BeginTable() {
  std::transform(kHeaderTexts.begin(), kHeaderTexts.end(), widths_.begin(),
                 [](std::string_view text) { return text.size(); });
  spool_.Clear();
}

void TableView::SetRecordRow(std::int64_t, const RecordRow& record) {
  const RowCells cells = EscapedCells(record, false);
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    widths_[i] = std::max(widths_[i], DisplayWidth(cells[i]));
  }
  spool_.Add(record);
}

void TableView::PrintLine(const std::array<std::string, kColumnCount>& cells) {
  std::array<std::string, kColumnCount> padded;
  for (std::size_t i = 0; i + 1 < kColumnCount; ++i) {
    padded[i] = PadTo(cells[i], widths_[i]);
  }
  padded.back() = cells.back();
  std::string line = Join(padded, kColumnGap);
  // Padding of empty cells at the end of a row is not kept.
  line.erase(line.find_last_not_of(' ') + 1);
  Write(line + "\n");
}

void TableView::PrintListing() {
  if (!spool_.Failure().empty()) {
    NoteOutputFailure(spool_.Failure());
    return;
  }
  if (!first_) {
    Write("\n");
  }
  first_ = false;
  Write(EscapeControls(pathCaptions_ ? CaptionFor(path_) : caption_) + "\n");
  std::array<std::string, kColumnCount> header;
  std::copy(kHeaderTexts.begin(), kHeaderTexts.end(), header.begin());
  PrintLine(header);
  if (!spool_.Drain([this](const RecordRow& record) { PrintLine(EscapedCells(record, false)); })) {
    NoteOutputFailure(spool_.Failure());
    return;
  }
  Write("\n");
  const std::array<std::string, kSummaryLineCount> values = SummaryValues(summary_);
  std::size_t nameWidth = 0;
  for (std::string_view name : kFieldNames) {
    nameWidth = std::max(nameWidth, name.size());
  }
  for (std::size_t i = 0; i < kSummaryLineCount; ++i) {
    Write(PadTo(kFieldNames[i], nameWidth) + " " + EscapeControls(values[i]) + "\n");
  }
}

void TsvView::BeginTable() {
  if (headerPending_) {
    headerPending_ = false;
    Write("Archive\t" + Join(kHeaderTexts, "\t") + "\n");
  }
  pathCell_ = EscapeControls(path_, true) + '\t';
}

void TsvView::SetRecordRow(std::int64_t, const RecordRow& record) {
  Write(pathCell_ + Join(EscapedCells(record, true), "\t") + "\n");
}

void JsonView::BeginTable() {
  spool_.Clear();
  totals_ = {};
}

void JsonView::SetRecordRow(std::int64_t, const RecordRow& record) {
  totals_.Add(record);
  spool_.Add(record);
}

// The path, the header's values, the rows and the totals on one line. The rows stream from the
// spool between the object's head and tail.
void JsonView::PrintListing() {
  if (!spool_.Failure().empty()) {
    NoteOutputFailure(spool_.Failure());
    return;
  }
  Json head = PathJson(path_);
  head["title"] = archive::AnsiToUtf8(header_.title);
  head["version"] = header_.version;
  head["record_count"] = header_.recordCount;
  std::string text = Dump(head);
  text.back() = ',';
  Write(text + "\"rows\":[");
  bool firstRow = true;
  const bool whole = spool_.Drain([&](const RecordRow& record) {
    Write(firstRow ? Dump(RowJson(record)) : ',' + Dump(RowJson(record)));
    firstRow = false;
  });
  if (!whole) {
    NoteOutputFailure(spool_.Failure());
    return;
  }
  const std::string error =
      Failed() ? ",\"error\":" + Dump(ErrorJson(cause_.kind, ErrorMessage())) : "";
  Write("],\"totals\":" + Dump(TotalsJson(totals_)) + error + "}\n");
}

void JsonView::PrintError() {
  Json json = PathJson(path_);
  json["error"] = ErrorJson(cause_.kind, ErrorMessage());
  Write(Dump(json) + "\n");
}

std::unique_ptr<ConsoleView> MakeConsoleView(OutputFormat format, std::FILE* out, std::FILE* err,
                                             const ViewOptions& options) {
  switch (format) {
    case OutputFormat::kTsv:
      return std::make_unique<TsvView>(out, err, options);
    case OutputFormat::kJson:
      return std::make_unique<JsonView>(out, err, options);
    case OutputFormat::kTable:
      break;
  }
  return std::make_unique<TableView>(out, err, options);
}

}  // namespace lister::cli
