#include "row_spool.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace lister::cli {

namespace {

// errno after a failed call, or EIO where the C library left it unset.
int LastError() {
  return errno != 0 ? errno : EIO;
}

class TemporarySpoolFile final : public SpoolFile {
 public:
  TemporarySpoolFile() : file_(std::tmpfile()), error_(file_ != nullptr ? 0 : LastError()) {
    if (file_ != nullptr) {
      // The spool writes and reads whole blocks itself; unbuffered, a write that fails tells how
      // much reached the file. Should this be refused, a failed block is only found at the seek
      // before reading, and the listing then fails instead of going on in memory.
      std::setvbuf(file_, nullptr, _IONBF, 0);
    }
  }
  ~TemporarySpoolFile() override {
    if (file_ != nullptr) {
      std::fclose(file_);  // the rows are no longer wanted, and closing removes the file
    }
  }
  TemporarySpoolFile(const TemporarySpoolFile&) = delete;
  TemporarySpoolFile& operator=(const TemporarySpoolFile&) = delete;

  SpoolIo Write(const void* bytes, std::size_t size) override {
    if (file_ == nullptr) {
      return {0, error_};
    }
    errno = 0;
    const std::size_t written = std::fwrite(bytes, 1, size, file_);
    return {written, written < size ? LastError() : 0};
  }

  SpoolIo Read(void* bytes, std::size_t size) override {
    if (file_ == nullptr) {
      return {0, error_};
    }
    errno = 0;
    if (!reading_ && std::fseek(file_, 0, SEEK_SET) != 0) {
      return {0, LastError()};
    }
    reading_ = true;
    const std::size_t read = std::fread(bytes, 1, size, file_);
    return {read, read < size && std::ferror(file_) != 0 ? LastError() : 0};
  }

 private:
  std::FILE* file_;
  int error_;  // why no file could be made
  bool reading_ = false;
};

}  // namespace

std::unique_ptr<SpoolFile> OpenTemporarySpoolFile() {
  return std::make_unique<TemporarySpoolFile>();
}

std::string SpoolErrorText(int error) {
  return error != 0 ? std::strerror(error) : "the file ended early";
}

RowSpool::RowSpool(SpoolStorage storage) : storage_(std::move(storage)) {
  block_.reserve(kBlockRows);
}

void RowSpool::Add(const RecordRow& row) {
  if (!failure_.empty()) {
    return;  // the listing cannot be printed whole any more
  }
  if (fileError_ != 0) {
    KeepInMemory(&row, 1);
    return;
  }
  block_.push_back(row);
  if (block_.size() == kBlockRows) {
    WriteBlock();
  }
}

void RowSpool::WriteBlock() {
  if (file_ == nullptr) {
    file_ = storage_.openFile();
  }
  const std::size_t size = block_.size() * sizeof(RecordRow);
  const SpoolIo written = file_->Write(block_.data(), size);
  const std::size_t whole = std::min(written.bytes, size) / sizeof(RecordRow);
  fileRows_ += whole;
  if (whole < block_.size()) {
    // The rows the file did not take whole follow it in memory; a part row left in the file
    // is never read back.
    fileError_ = written.error != 0 ? written.error : EIO;
    KeepInMemory(block_.data() + whole, block_.size() - whole);
  }
  block_.clear();
}

void RowSpool::KeepInMemory(const RecordRow* rows, std::size_t count) {
  if (count <= storage_.memoryRows - std::min(memory_.size(), storage_.memoryRows)) {
    try {
      memory_.insert(memory_.end(), rows, rows + count);
      return;
    } catch (const std::bad_alloc&) {
      // as full as the bound
    }
  }
  failure_ =
      "no room for its rows in a temporary file (" + SpoolErrorText(fileError_) + ") or in memory";
  LetRowsGo();
}

void RowSpool::LetRowsGo() {
  file_.reset();
  fileRows_ = 0;
  block_.clear();
  std::vector<RecordRow>().swap(memory_);
}

void RowSpool::Clear() {
  LetRowsGo();
  fileError_ = 0;
  failure_.clear();
}

}  // namespace lister::cli
