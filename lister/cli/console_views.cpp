#include "console_views.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string_view>

#include "console_text.h"
#include "display_text.h"

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

// ASCII-only output keeps every text exact and lets no control character reach a terminal.
std::string Dump(const nlohmann::ordered_json& json) {
  return json.dump(-1, ' ', true, nlohmann::ordered_json::error_handler_t::replace);
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
  ClearTable();
}

bool ConsoleView::FinishArchive() {
  if (Failed()) {
    PrintError();
  } else {
    PrintListing();
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
  line += EscapeControls(*error_) + '\n';
  // A message that standard error cannot take has nowhere else to go; the status still tells.
  std::fputs(line.c_str(), err_);
}

void TableView::ClearTable() {
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
  Write(EscapeControls(caption_) + "\n");
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

void TsvView::PrintHeaderOnce() {
  if (!headerPrinted_) {
    headerPrinted_ = true;
    Write(Join(kHeaderTexts, "\t") + "\n");
  }
}

void TsvView::SetRecordRow(std::int64_t, const RecordRow& record) {
  PrintHeaderOnce();
  Write(Join(EscapedCells(record, true), "\t") + "\n");
}

void TsvView::PrintListing() {
  PrintHeaderOnce();
}

void JsonView::ClearTable() {
  spool_.Clear();
  omittedEmptyRecords_ = 0;
}

void JsonView::SetRecordRow(std::int64_t, const RecordRow& record) {
  if (record.kind == RowKind::kEmptyRun) {
    omittedEmptyRecords_ += record.runLength;
  }
  spool_.Add(record);
}

// {"archive", "caption", "columns", "rows", "summary", "omitted_empty_records"} on one line. The
// rows stream from the spool between the object's head and tail.
void JsonView::PrintListing() {
  if (!spool_.Failure().empty()) {
    NoteOutputFailure(spool_.Failure());
    return;
  }
  const nlohmann::ordered_json head = {
      {"archive", path_}, {"caption", caption_}, {"columns", kHeaderTexts}};
  std::string text = Dump(head);
  text.back() = ',';
  Write(text + "\"rows\":[");
  bool firstRow = true;
  const bool whole = spool_.Drain([&](const RecordRow& record) {
    if (!firstRow) {
      Write(",");
    }
    Write(Dump(FormatRowUtf8(record)));
    firstRow = false;
  });
  if (!whole) {
    NoteOutputFailure(spool_.Failure());
    return;
  }
  nlohmann::ordered_json summary = nlohmann::ordered_json::array();
  const std::array<std::string, kSummaryLineCount> values = SummaryValues(summary_);
  for (std::size_t i = 0; i < kSummaryLineCount; ++i) {
    summary.push_back({kFieldNames[i], values[i]});
  }
  const nlohmann::ordered_json tail = {{"summary", summary},
                                       {"omitted_empty_records", omittedEmptyRecords_}};
  text = Dump(tail);
  text.front() = ',';
  Write("]" + text + "\n");
}

void JsonView::PrintError() {
  Write(Dump({{"archive", path_}, {"error", *error_}}) + "\n");
}

std::unique_ptr<ConsoleView> MakeConsoleView(OutputFormat format, std::FILE* out, std::FILE* err,
                                             const SpoolStorage& storage) {
  switch (format) {
    case OutputFormat::kTsv:
      return std::make_unique<TsvView>(out, err);
    case OutputFormat::kJson:
      return std::make_unique<JsonView>(out, err, storage);
    case OutputFormat::kTable:
      break;
  }
  return std::make_unique<TableView>(out, err, storage);
}

}  // namespace lister::cli
