// Fuzz input turned into a file that the library can open by path, without touching the disk:
// an anonymous memory file reached through /proc/self/fd.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzzing {

class MemoryFile {
 public:
  MemoryFile() : fd_(memfd_create("fuzz-archive", 0)) {
    if (fd_ < 0) {
      std::abort();  // without the file no input would reach the library: a run testing nothing
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~MemoryFile() { close(fd_); }  // a memory file: its close has nothing to lose
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Replaces the file's content with `size` bytes.
  bool Set(const std::uint8_t* data, std::size_t size) {
    return ftruncate(fd_, 0) == 0 &&
           (size == 0 || pwrite(fd_, data, size, 0) == static_cast<ssize_t>(size));
  }
  const std::string& Path() const { return path_; }

 private:
  int fd_;
  std::string path_;
};

}  // namespace fuzzing
