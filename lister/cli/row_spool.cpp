#include "row_spool.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace lister::cli {

RowSpool::RowSpool() : file_(std::tmpfile()) {}

RowSpool::~RowSpool() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

void RowSpool::AddLine(std::string_view line) {
  if (file_ == nullptr) {
    memory_.append(line);
    memory_.push_back('\n');
    return;
  }
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fputc('\n', file_);
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
