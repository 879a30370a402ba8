// Record rows kept aside until a listing ends (the caption and the column widths, printed first,
// are known only at the end). Rows go in blocks to a temporary file, so that memory stays flat
// however many rows an archive has; once the file takes no more (no file can be made, the disk
// is full), the rest stay in memory. Rows are lost only when memory cannot hold them either.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "lister/core/record_row.h"

namespace lister::cli {

// The outcome of a spool file's write or read: the bytes moved and, when fewer than asked were
// moved because of a failure, its errno value.
struct SpoolIo {
  std::size_t bytes = 0;
  int error = 0;
};

// The file behind a spool: written at its end, then read once from its start.
class SpoolFile {
 public:
  virtual ~SpoolFile() = default;
  virtual SpoolIo Write(const void* bytes, std::size_t size) = 0;
  // The first read starts at the beginning; fewer bytes with no error is the end of the file.
  virtual SpoolIo Read(void* bytes, std::size_t size) = 0;
};

// A file of the temporary folder (TMPDIR, /tmp without it; on Windows the one GetTempPath
// names), removed when closed; one that cannot be made fails every write with the cause.
std::unique_ptr<SpoolFile> OpenTemporarySpoolFile();

// The text of an errno value; 0 stands for a file that ended before all its rows were read.
std::string SpoolErrorText(int error);

// Where a spool keeps its rows; a test replaces the file or bounds the memory.
struct SpoolStorage {
  std::function<std::unique_ptr<SpoolFile>()> openFile = OpenTemporarySpoolFile;
  std::size_t memoryRows = std::numeric_limits<std::size_t>::max();
};

class RowSpool {
 public:
  explicit RowSpool(SpoolStorage storage = {});

  void Add(const RecordRow& row);
  // Calls `sink` with each row in order and lets the rows go. False when rows were lost, or could
  // not be read back (`sink` then saw only some): Failure() says why.
  template <typename Sink>
  bool Drain(Sink&& sink);
  // Why rows were lost; empty while none was.
  const std::string& Failure() const { return failure_; }
  // Empties the spool for the next listing, which may use a file again.
  void Clear();

 private:
  // Rows are written as their bytes: the file lives only as long as this process.
  static_assert(std::is_trivially_copyable_v<RecordRow>);
  static constexpr std::size_t kBlockRows = 4096;

  void WriteBlock();
  void KeepInMemory(const RecordRow* rows, std::size_t count);
  template <typename Sink>
  bool ReadFileBack(Sink& sink);
  void LetRowsGo();

  SpoolStorage storage_;
  std::unique_ptr<SpoolFile> file_;  // made with the first full block
  std::size_t fileRows_ = 0;         // whole rows in the file, which may end in part of one more
  int fileError_ = 0;                // why the file took no more rows; 0 while it does
  std::vector<RecordRow> block_;     // the rows after the file's, until the block is full
  std::vector<RecordRow> memory_;    // the rows after the file's, once it took no more
  std::string failure_;
};

template <typename Sink>
bool RowSpool::Drain(Sink&& sink) {
  const bool whole = failure_.empty() && ReadFileBack(sink);
  if (whole) {
    for (const std::vector<RecordRow>* rows : {&block_, &memory_}) {
      for (const RecordRow& row : *rows) {
        sink(row);
      }
    }
  }
  LetRowsGo();
  return whole;
}

template <typename Sink>
bool RowSpool::ReadFileBack(Sink& sink) {
  std::vector<RecordRow> rows(fileRows_ > 0 ? kBlockRows : 0);
  for (std::size_t left = fileRows_; left > 0;) {
    const std::size_t want = std::min(left, kBlockRows);
    const SpoolIo read = file_->Read(rows.data(), want * sizeof(RecordRow));
    if (read.bytes != want * sizeof(RecordRow)) {
      failure_ =
          "cannot read its rows back from the temporary file (" + SpoolErrorText(read.error) + ")";
      return false;
    }
    for (std::size_t i = 0; i < want; ++i) {
      sink(rows[i]);
    }
    left -= want;
  }
  return true;
}

}  // namespace lister::cli
