// Byte-addressed, read-only access to a file by its path. Every archive operation opens the
// file, reads what it needs and closes it again; nothing stays open between operations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace archive {

// What tells one file from another that takes its name: on POSIX the device, inode, size and
// modification time; on Windows the file index, size and last write time. Taken from the handle
// that an open gave, so it costs no open of its own. Windows's volume serial is left out (device
// stays 0): under Wine every query of it is a request to the mount manager, another process,
// that costs several times the open itself. Only a file put at the same path from another volume
// with the same index, size and write time to the 100 ns would pass for the first.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t fileIndex = 0;
  std::int64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since 1970 on POSIX, 100 ns ticks on Windows
  bool operator==(const FileIdentity&) const = default;
};

class ByteFile {
 public:
  ByteFile() = default;
  ~ByteFile() { Close(); }
  ByteFile(const ByteFile&) = delete;
  ByteFile& operator=(const ByteFile&) = delete;

  // Opens for reading only, so that read-only archives and media list too. Never blocks on a
  // FIFO or device without data: such a file simply reads as empty. Takes the file's identity
  // from the new handle.
  bool Open(const std::string& path);
  void Close();  // harmless on a closed file

  // Reads up to `count` bytes at `position`; returns how many were read (0 for a negative
  // position, past the end, or on any error).
  std::size_t ReadAt(std::int64_t position, void* buffer, std::size_t count);

  // Size in bytes of an open regular file; 0 for anything else.
  std::int64_t Size() const;

  // The identity of the file that the last Open opened, all zero where the system could not tell
  // it; nothing when that Open failed. It stays after Close.
  const std::optional<FileIdentity>& Identity() const { return identity_; }

 private:
  int handle_ = -1;
  std::optional<FileIdentity> identity_;
#ifndef _WIN32
  bool regular_ = false;  // from the same fstat as the identity
#endif
};

// True when `path` names an existing file system object that is not a directory.
bool IsExistingFile(const std::string& path);

}  // namespace archive
