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

#include "lister/cli/failure_cause.h"
#include "lister/cli/row_spool.h"
#include "lister/core/archive_listing.h"
#include "lister/core/listing_view.h"

namespace lister::cli {

enum class OutputFormat { kTable, kTsv, kJson };

struct ViewOptions {
  SpoolStorage storage;
  bool header = true;         // tsv: the one header line before every row
  bool pathCaptions = false;  // table: captions name the path as given, not its last part
};

// What the header of a listed archive holds; the title is its Windows-1252 text.
struct ListedHeader {
  std::string title;
  std::int64_t version = 0;
  std::int64_t recordCount = 0;
};

class ConsoleView : public ListingView {
 public:
  ConsoleView(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

  void BeginArchive(const std::string& path);
  // After a listing: the header of a listed archive, or why one failed.
  void SetListedHeader(ListedHeader header) { header_ = std::move(header); }
  void SetFailureCause(FailureCause cause) { cause_ = std::move(cause); }
  bool Failed() const { return error_.has_value(); }
  // Prints what the listing produced; false when the archive could not be listed, or changed
  // while it was listed (its rows so far are then printed with the message).
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
  // Starts the next archive: empties what a view keeps of the previous one (and in tsv prints
  // the one header line before the first).
  virtual void BeginTable() = 0;
  virtual void PrintListing() = 0;
  virtual void PrintError();
  // The rows so far of an archive that changed while it was listed, and why it stopped.
  virtual void PrintStoppedListing() {
    PrintListing();
    PrintError();
  }

  // The listing's message, followed by the system's reason where it names one.
  std::string ErrorMessage() const;
  // Writes to the output; the first failure is kept, and nothing is written after it.
  void Write(std::string_view text);
  void NoteOutputFailure(const std::string& cause);

  std::FILE* out_;
  std::FILE* err_;
  std::string path_;
  std::string caption_;
  Summary summary_;
  std::optional<std::string> error_;
  FailureCause cause_;
  ListedHeader header_;
  std::string outputFailure_;
};

class TableView : public ConsoleView {
 public:
  TableView(std::FILE* out, std::FILE* err, const ViewOptions& options)
      : ConsoleView(out, err), spool_(options.storage), pathCaptions_(options.pathCaptions) {}
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;

 private:
  void BeginTable() override;
  void PrintListing() override;
  void PrintLine(const std::array<std::string, kColumnCount>& cells);
  std::array<std::size_t, kColumnCount> widths_{};
  RowSpool spool_;
  bool pathCaptions_;
  bool first_ = true;
};

// One header line for the whole output, then rows as they come, each led by its archive's path;
// there is no summary, and a failed listing prints nothing.
class TsvView : public ConsoleView {
 public:
  TsvView(std::FILE* out, std::FILE* err, const ViewOptions& options)
      : ConsoleView(out, err), headerPending_(options.header) {}
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;

 private:
  void BeginTable() override;
  void PrintListing() override {}
  bool headerPending_;
  std::string pathCell_;
};

class JsonView : public ConsoleView {
 public:
  JsonView(std::FILE* out, std::FILE* err, const ViewOptions& options)
      : ConsoleView(out, err), spool_(options.storage) {}
  void SetRecordRow(std::int64_t row, const RecordRow& record) override;

 private:
  void BeginTable() override;
  void PrintListing() override;
  void PrintError() override;
  // One object: the listing so far with its error.
  void PrintStoppedListing() override { PrintListing(); }
  RowSpool spool_;
  ListingTotals totals_;
};

std::unique_ptr<ConsoleView> MakeConsoleView(OutputFormat format, std::FILE* out, std::FILE* err,
                                             const ViewOptions& options = {});

}  // namespace lister::cli
