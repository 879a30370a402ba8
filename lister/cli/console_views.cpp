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

std::string JsonString(const std::string& text) {
  // ASCII-only output keeps every text exact and lets no control character reach a terminal.
  return nlohmann::json(text).dump(-1, ' ', true, nlohmann::json::error_handler_t::replace);
}

template <typename Cells>
std::string JoinCells(const Cells& cells, char separator, bool escapeSeparators) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) {
      line.push_back(separator);
    }
    line += EscapeControls(cells[i], escapeSeparators);
  }
  return line;
}

std::string PadTo(std::string_view text, std::size_t width) {
  std::string padded(text);
  const std::size_t used = DisplayWidth(text);
  if (used < width) {
    padded.append(width - used, ' ');
  }
  return padded;
}

}  // namespace

void ConsoleView::BeginArchive(const std::string& path) {
  path_ = path;
  caption_.clear();
  summary_ = {};
  error_.reset();
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

void TableView::ResizeTable(std::int64_t) {
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    widths_[i] = kHeaderTexts[i].size();
  }
  spool_.Clear();
}

void TableView::SetRecordRow(std::int64_t, const RecordRow& record) {
  RowCells cells = FormatRowUtf8(record);
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    cells[i] = EscapeControls(cells[i]);
    widths_[i] = std::max(widths_[i], DisplayWidth(cells[i]));
  }
  spool_.AddLine(JoinCells(cells, '\t', false));
}

void TableView::PrintListing() {
  if (!first_) {
    Write(out_, "\n");
  }
  first_ = false;
  Write(out_, EscapeControls(caption_) + "\n");
  auto printRow = [this](const auto& cells) {
    std::string line;
    for (std::size_t i = 0; i < kColumnCount; ++i) {
      if (i > 0) {
        line += kColumnGap;
      }
      line += i + 1 < kColumnCount ? PadTo(cells[i], widths_[i]) : std::string(cells[i]);
    }
    // Padding of empty cells at the end of a row is not kept.
    line.erase(line.find_last_not_of(' ') + 1);
    Write(out_, line + "\n");
  };
  printRow(kHeaderTexts);
  spool_.Drain([&](std::string_view line) {
    std::array<std::string_view, kColumnCount> cells;
    std::size_t start = 0;
    for (std::size_t i = 0; i < kColumnCount; ++i) {
      const std::size_t tab = std::min(line.find('\t', start), line.size());
      cells[i] = line.substr(start, tab - start);
      start = tab + 1;
    }
    printRow(cells);
  });
  Write(out_, "\n");
  const std::vector<std::string> values = SummaryLinesUtf8(summary_);
  std::size_t nameWidth = 0;
  for (std::string_view name : kFieldNames) {
    nameWidth = std::max(nameWidth, name.size());
  }
  for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
    const std::string value = i < values.size() ? EscapeControls(values[i]) : std::string();
    Write(out_, PadTo(kFieldNames[i], nameWidth) + " " + value + "\n");
  }
}

void TsvView::ResizeTable(std::int64_t) {
  // A failed listing resizes the table too, after its message; it prints nothing.
  if (!Failed()) {
    Write(out_, JoinCells(kHeaderTexts, '\t', true) + "\n");
  }
}

void TsvView::SetRecordRow(std::int64_t, const RecordRow& record) {
  std::string line = JoinCells(FormatRowUtf8(record), '\t', true);
  line.push_back('\n');
  Write(out_, line);
}

void JsonView::ResizeTable(std::int64_t) {
  spool_.Clear();
  omittedEmptyRecords_ = 0;
  anyRow_ = false;
}

void JsonView::SetRecordRow(std::int64_t, const RecordRow& record) {
  if (record.kind == RowKind::kEmptyRun) {
    omittedEmptyRecords_ += record.runLength;
  }
  const RowCells cells = FormatRowUtf8(record);
  std::string line = anyRow_ ? ",[" : "[";
  anyRow_ = true;
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    if (i > 0) {
      line.push_back(',');
    }
    line += JsonString(cells[i]);
  }
  line.push_back(']');
  spool_.AddLine(line);
}

void JsonView::PrintListing() {
  std::string head = "{\"archive\":" + JsonString(path_) + ",\"caption\":" + JsonString(caption_) +
                     ",\"columns\":[";
  for (std::size_t i = 0; i < kColumnCount; ++i) {
    head += (i > 0 ? "," : "") + JsonString(std::string(kHeaderTexts[i]));
  }
  Write(out_, head + "],\"rows\":[");
  spool_.Drain([this](std::string_view line) { Write(out_, line); });
  std::string tail = "],\"summary\":[";
  const std::vector<std::string> values = SummaryLinesUtf8(summary_);
  for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
    const std::string value = i < values.size() ? values[i] : std::string();
    tail += (i > 0 ? ",[" : "[") + JsonString(std::string(kFieldNames[i])) + "," +
            JsonString(value) + "]";
  }
  tail += "],\"omitted_empty_records\":" + std::to_string(omittedEmptyRecords_) + "}\n";
  Write(out_, tail);
}

void JsonView::PrintError() {
  Write(out_, "{\"archive\":" + JsonString(path_) + ",\"error\":" + JsonString(*error_) + "}\n");
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
