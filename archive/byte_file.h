// Byte-addressed, read-only access to a file by its path. Every archive operation opens the
// file, reads what it needs and closes it again; nothing stays open between operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace archive {

class ByteFile {
 public:
  ByteFile() = default;
  ~ByteFile() { Close(); }
  ByteFile(const ByteFile&) = delete;
  ByteFile& operator=(const ByteFile&) = delete;

  // Opens for reading only, so that read-only archives and media list too. Never blocks on a
  // FIFO or device without data: such a file simply reads as empty.
  bool Open(const std::string& path);
  void Close();  // harmless on a closed file

  // Reads up to `count` bytes at `position`; returns how many were read (0 for a negative
  // position, past the end, or on any error).
  std::size_t ReadAt(std::int64_t position, void* buffer, std::size_t count);

  // Size in bytes of an open regular file; 0 for anything else.
  std::int64_t Size() const;

 private:
  int handle_ = -1;
};

// True when `path` names an existing file system object that is not a directory.
bool IsExistingFile(const std::string& path);

}  // namespace archive
