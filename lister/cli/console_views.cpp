#include "console_views.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string_view>

#include "console_text.h"
#include "display_text.h"

namespace lister::cli {

namespace {

constexpr std::string_view kColumnGap = "  ";

void Write(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

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
  std::fflush(out_);
  return !Failed();
}

void ConsoleView::PrintError() {
  std::string line = "trovanta-ls: ";
  if (!path_.empty()) {
    line += EscapeControls(path_) + ": ";
  }
  line += EscapeControls(*error_) + '\n';
  Write(err_, line);
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
  Write(out_, line + "\n");
}

void TableView::PrintListing() {
  if (!first_) {
    Write(out_, "\n");
  }
  first_ = false;
  Write(out_, EscapeControls(caption_) + "\n");
  std::array<std::string, kColumnCount> header;
  std::copy(kHeaderTexts.begin(), kHeaderTexts.end(), header.begin());
  PrintLine(header);
  spool_.Drain([this](const RecordRow& record) { PrintLine(EscapedCells(record, false)); });
  Write(out_, "\n");
  const std::array<std::string, kSummaryLineCount> values = SummaryValues(summary_);
  std::size_t nameWidth = 0;
  for (std::string_view name : kFieldNames) {
    nameWidth = std::max(nameWidth, name.size());
  }
  for (std::size_t i = 0; i < kSummaryLineCount; ++i) {
    Write(out_, PadTo(kFieldNames[i], nameWidth) + " " + EscapeControls(values[i]) + "\n");
  }
}

void TsvView::PrintHeaderOnce() {
  if (!headerPrinted_) {
    headerPrinted_ = true;
    Write(out_, Join(kHeaderTexts, "\t") + "\n");
  }
}

void TsvView::SetRecordRow(std::int64_t, const RecordRow& record) {
  PrintHeaderOnce();
  Write(out_, Join(EscapedCells(record, true), "\t") + "\n");
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
  const nlohmann::ordered_json head = {
      {"archive", path_}, {"caption", caption_}, {"columns", kHeaderTexts}};
  std::string text = Dump(head);
  text.back() = ',';
  Write(out_, text + "\"rows\":[");
  bool firstRow = true;
  spool_.Drain([&](const RecordRow& record) {
    if (!firstRow) {
      Write(out_, ",");
    }
    Write(out_, Dump(FormatRowUtf8(record)));
    firstRow = false;
  });
  nlohmann::ordered_json summary = nlohmann::ordered_json::array();
  const std::array<std::string, kSummaryLineCount> values = SummaryValues(summary_);
  for (std::size_t i = 0; i < kSummaryLineCount; ++i) {
    summary.push_back({kFieldNames[i], values[i]});
  }
  const nlohmann::ordered_json tail = {{"summary", summary},
                                       {"omitted_empty_records", omittedEmptyRecords_}};
  text = Dump(tail);
  text.front() = ',';
  Write(out_, "]" + text + "\n");
}

void JsonView::PrintError() {
  Write(out_, Dump({{"archive", path_}, {"error", *error_}}) + "\n");
}

std::unique_ptr<ConsoleView> MakeConsoleView(OutputFormat format, std::FILE* out, std::FILE* err) {
  switch (format) {
    case OutputFormat::kTsv:
      return std::make_unique<TsvView>(out, err);
    case OutputFormat::kJson:
      return std::make_unique<JsonView>(out, err);
    case OutputFormat::kTable:
      break;
  }
  return std::make_unique<TableView>(out, err);
}

}  // namespace lister::cli
