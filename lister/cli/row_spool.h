// Record rows kept aside until a listing ends, in a temporary file, so that memory stays flat
// however many rows an archive has (the caption and the column widths, printed first, are known
// only at the end). Where no temporary file can be made the rows stay in memory.
#pragma once

#include <cstdio>
#include <type_traits>
#include <vector>

#include "record_row.h"

namespace lister::cli {

class RowSpool {
 public:
  enum class Storage { kTemporaryFile, kMemory };

  explicit RowSpool(Storage storage = Storage::kTemporaryFile);
  ~RowSpool();
  RowSpool(const RowSpool&) = delete;
  RowSpool& operator=(const RowSpool&) = delete;

  // kMemory also when the temporary file could not be made.
  Storage Where() const { return file_ != nullptr ? Storage::kTemporaryFile : Storage::kMemory; }

  void Add(const RecordRow& row);
  // Calls `sink` with each row in order, then empties the spool.
  template <typename Sink>
  void Drain(Sink&& sink);
  void Clear();

 private:
  // Rows are written as their bytes: the file lives only as long as this process.
  static_assert(std::is_trivially_copyable_v<RecordRow>);
  static constexpr std::size_t kBlockRows = 4096;

  std::FILE* file_ = nullptr;
  std::vector<RecordRow> memory_;
};

template <typename Sink>
void RowSpool::Drain(Sink&& sink) {
  if (file_ == nullptr) {
    for (const RecordRow& row : memory_) {
      sink(row);
    }
  } else {
    std::fflush(file_);
    std::rewind(file_);
    std::vector<RecordRow> block(kBlockRows);
    std::size_t got;
    while ((got = std::fread(block.data(), sizeof(RecordRow), block.size(), file_)) > 0) {
      for (std::size_t i = 0; i < got; ++i) {
        sink(block[i]);
      }
    }
  }
  Clear();
}

}  // namespace lister::cli
