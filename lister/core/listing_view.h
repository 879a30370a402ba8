// What a listing drives: the record table, the summary values label, the window caption and a
// modal error box. The window and the console lister are two such views.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lister/core/record_row.h"

namespace lister {

struct Summary {
  // Five lines for a listed archive, or the one line "Not an archive file". Lines are kept
  // apart so that a view can keep a title holding a line break beside its field name.
  std::vector<std::string> lines;
  // True for a listed archive's five lines, whose first is the archive's title.
  bool listed = false;
};

class ListingView {
 public:
  virtual ~ListingView() = default;

  // The table becomes the header row plus `recordRows` rows with all cells empty; 0 leaves the
  // header row alone.
  virtual void ResizeTable(std::int64_t recordRows) = 0;
  // Fills record row `row` (0 is the first row below the header); rows come in order.
  virtual void SetRecordRow(std::int64_t row, const RecordRow& record) = 0;
  // A listing that stopped early: the table ends after its first `recordRows` rows, which keep
  // what they were given. A view that keeps rows only as they come has nothing to do.
  virtual void CutTable(std::int64_t /*recordRows*/) {}
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetSummary(const Summary& summary) = 0;
  // Shows the message modally and returns once the user has closed it.
  virtual void ShowError(const std::string& message) = 0;
};

}  // namespace lister
