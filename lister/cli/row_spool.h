// Lines kept aside until a listing ends, in a temporary file, so that memory stays flat however
// many rows an archive has (the caption, printed first, is known only at the end).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lister::cli {

class RowSpool {
 public:
  RowSpool();
  ~RowSpool();
  RowSpool(const RowSpool&) = delete;
  RowSpool& operator=(const RowSpool&) = delete;

  void AddLine(std::string_view line);
  // Calls `sink` with each line in order (without its newline), then empties the spool.
  template <typename Sink>
  void Drain(Sink&& sink);
  void Clear();

 private:
  std::FILE* file_ = nullptr;
  std::string memory_;  // used only when no temporary file can be made
};

template <typename Sink>
void RowSpool::Drain(Sink&& sink) {
  if (file_ == nullptr) {
    std::size_t start = 0;
    while (start < memory_.size()) {
      const std::size_t end = memory_.find('\n', start);
      sink(std::string_view(memory_).substr(start, end - start));
      start = end + 1;
    }
  } else {
    std::fflush(file_);
    std::rewind(file_);
    std::string line;
    int c;
    while ((c = std::getc(file_)) != EOF) {
      if (c == '\n') {
        sink(std::string_view(line));
        line.clear();
      } else {
        line.push_back(static_cast<char>(c));
      }
    }
  }
  Clear();
}

}  // namespace lister::cli
