// A view that keeps every text the listing gives it, as the window would show them.
#pragma once

#include <string>
#include <vector>

#include "listing_view.h"

namespace testing_support {

class RecordingView : public lister::ListingView {
 public:
  void ResizeTable(std::int64_t recordRows) override {
    rows.assign(static_cast<std::size_t>(recordRows), lister::RowCells{});
    ++resizes;
  }
  void SetRecordRow(std::int64_t row, const lister::RecordRow& record) override {
    rows.at(static_cast<std::size_t>(row)) = lister::FormatRow(record);
  }
  void SetCaption(const std::string& text) override { caption = text; }
  void SetSummary(const lister::Summary& summary) override {
    summaryLines = summary.lines;
    summaryText = summary.Text();
    ++summaries;
  }
  void ShowError(const std::string& message) override { errors.push_back(message); }

  std::vector<lister::RowCells> rows;
  std::string caption = "Trovanta";
  std::vector<std::string> summaryLines;
  std::string summaryText;
  std::vector<std::string> errors;
  int resizes = 0;
  int summaries = 0;
};

}  // namespace testing_support
