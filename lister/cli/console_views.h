// The console lister's views: an aligned table, tab-separated rows, or one JSON object per
// archive. Each listing goes between BeginArchive and FinishArchive. Every write to the output is
// checked; after the first that fails the view writes no more and tells why.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "listing_view.h"
#include "row_spool.h"

namespace lister::cli {

enum class OutputFormat { kTable, kTsv, kJson };

class ConsoleView : public ListingView {
 public:
  ConsoleView(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

  void BeginArchive(const std::string& path);
  // Prints what the listing produced; false when the archive could not be listed.
  bool FinishArchive();
  // Why the output is not whole: a write to it failed, or rows could not be kept until the
  // listing's end. Empty while it is whole.
  const std::string& OutputFailure() const { return outputFailure_; }

  // Each view keeps or prints rows as they come, so the size announced beforehand is not needed.
  void ResizeTable(std::int64_t) override {}
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void SetSummary(const Summary& summary) override { summary_ = summary; }
  void ShowError(const std::string& message) override { error_ = message; }

 protected:
  // Empties what a view keeps of the previous archive.
  virtual void ClearTable() = 0;
  virtual void PrintListing() = 0;
  virtual void PrintError();

  bool Failed() const { return error_.has_value(); }
  // Writes to the output; the first failure is kept, and nothing is written after it.
  void Write(std::string_view text);
  void NoteOutputFailure(const std::string& cause);

  std::FILE* out_;
  std::FILE* err_;
  std::string path_;
  std::string caption_;
  Summary summary_;
  std::optional<std::string> error_;
  std::string outputFailure_;
};

class TableView : public ConsoleView {
 public:
  TableView(std::FILE* out, std::FILE* err, SpoolStorage storage)
      : ConsoleView(out, err), spool_(std::move(storage)) {}
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;

 private:
  void ClearTable() override;
  void PrintListing() override;
  void PrintLine(const std::array<std::string, kColumnCount>& cells);
  std::array<std::size_t, kColumnCount> widths_{};
  RowSpool spool_;
  bool first_ = true;
};

// Rows are printed as they come, the header row before the first of them or at the end of a
// listing without rows; a failed listing prints nothing.
class TsvView : public ConsoleView {
 public:
  using ConsoleView::ConsoleView;
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;

 private:
  void ClearTable() override { headerPrinted_ = false; }
  void PrintListing() override;
  void PrintHeaderOnce();
  bool headerPrinted_ = false;
};

class JsonView : public ConsoleView {
 public:
  JsonView(std::FILE* out, std::FILE* err, SpoolStorage storage)
      : ConsoleView(out, err), spool_(std::move(storage)) {}
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;

 private:
  void ClearTable() override;
  void PrintListing() override;
  void PrintError() override;
  RowSpool spool_;
  std::int64_t omittedEmptyRecords_ = 0;
};

std::unique_ptr<ConsoleView> MakeConsoleView(OutputFormat format, std::FILE* out, std::FILE* err,
                                             const SpoolStorage& storage = {});

}  // namespace lister::cli
