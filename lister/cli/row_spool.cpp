#include "row_spool.h"

namespace lister::cli {

RowSpool::RowSpool(Storage storage)
    : file_(storage == Storage::kTemporaryFile ? std::tmpfile() : nullptr) {}

RowSpool::~RowSpool() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

void RowSpool::Add(const RecordRow& row) {
  if (file_ == nullptr) {
    memory_.push_back(row);
    return;
  }
  std::fwrite(&row, sizeof row, 1, file_);
}

void RowSpool::Clear() {
  memory_.clear();
  if (file_ != nullptr) {
    // A fresh file empties the spool the same way on every platform.
    std::fclose(file_);
    file_ = std::tmpfile();
  }
}

}  // namespace lister::cli
