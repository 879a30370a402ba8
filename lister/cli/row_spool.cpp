#include "lister/cli/row_spool.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace lister::cli {

namespace {

// errno after a failed call, or EIO where the C library left it unset.
int LastError() {
  return errno != 0 ? errno : EIO;
}

#ifdef _WIN32
// A file of the folder that GetTempPath names (TMP, TEMP, ...), deleted by the system when its
// last handle closes, also after a killed run.
std::FILE* OpenUnnamedTemporaryFile() {
  char folder[MAX_PATH + 1];
  char name[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > sizeof folder || GetTempFileNameA(folder, "tls", 0, name) == 0) {
    errno = ENOENT;
    return nullptr;
  }
  const HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DeleteFileA(name);  // the empty file GetTempFileName made; a leftover is harmless
    errno = GetLastError() == ERROR_DISK_FULL ? ENOSPC : EACCES;
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(handle);  // deletes the file; nothing was written to it
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, "w+b");
  if (file == nullptr) {
    _close(descriptor);  // deletes the file; nothing was written to it
  }
  return file;
}
#else
// A file of the folder that TMPDIR names (/tmp without it), unlinked as soon as it is made, so
// that nothing is left behind whichever way the run ends.
std::FILE* OpenUnnamedTemporaryFile() {
  const char* folder = std::getenv("TMPDIR");
  std::string pattern =
      std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/trovanta-ls-XXXXXX";
  const int descriptor = ::mkstemp(pattern.data());
  if (descriptor < 0) {
    return nullptr;
  }
  // Should the unlink fail, the file still serves; it is then left behind with its rows.
  ::unlink(pattern.c_str());
  std::FILE* file = ::fdopen(descriptor, "w+b");
  if (file == nullptr) {
    const int error = errno;
    ::close(descriptor);  // nothing was written to it
    errno = error;
  }
  return file;
}
#endif

class TemporarySpoolFile final : public SpoolFile {
 public:
  TemporarySpoolFile()
      : file_(OpenUnnamedTemporaryFile()), error_(file_ != nullptr ? 0 : LastError()) {
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
