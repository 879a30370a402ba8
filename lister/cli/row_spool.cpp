#include "row_spool.h"

#ifndef _WIN32
#include <unistd.h>
#endif

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
    std::rewind(file_);
#ifndef _WIN32
    if (ftruncate(fileno(file_), 0) != 0) {
      std::fclose(file_);
      file_ = std::tmpfile();
    }
#else
    std::fclose(file_);
    file_ = std::tmpfile();
#endif
  }
}

}  // namespace lister::cli
