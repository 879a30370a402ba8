// A file replaced whole: the bytes go to a new file beside it, which takes the file's place only
// once everything is written and on disk, so that a failure leaves the earlier file untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "block_output.h"

namespace setwright {

// The file operations that replacing a file needs, with at most one file open at a time. Every
// operation returns 0 or a Windows error code.
class FileOperations {
 public:
  virtual ~FileOperations() = default;

  // 0 when the file at `path` is missing or can be opened for writing; else the code that
  // opening it for writing meets.
  virtual std::int32_t CheckWritable(const std::string& path) = 0;
  // Creates the file at `path`, or empties it, and opens it for writing.
  virtual std::int32_t Create(const std::string& path) = 0;
  // Writes all of `size` bytes to the open file.
  virtual std::int32_t Write(const char* data, std::size_t size) = 0;
  // Brings what was written to the disk.
  virtual std::int32_t Sync() = 0;
  // Closes the open file; it is closed afterwards even when this fails.
  virtual std::int32_t Close() = 0;
  // Puts the file `from` in the place of `to`, replacing it.
  virtual std::int32_t Rename(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
};

class ReplacingFile {
 public:
  explicit ReplacingFile(FileOperations& files);
  ~ReplacingFile() { Discard(); }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Starts the replacement of `target` through the new file `replacement`. Fails, with the code
  // that replacing it in place would meet, when `target` could not be written.
  std::int32_t Create(const std::string& target, const std::string& replacement);
  // Through a 128-byte buffer, written out whenever it is full.
  std::int32_t Write(std::string_view bytes);
  // Writes out what is buffered, brings the new file to the disk, closes it and puts it in the
  // target's place.
  std::int32_t Close();
  // After a failure: closes and removes the new file, if any. Never fails.
  void Discard();

 private:
  FileOperations& files_;
  BlockOutput output_;
  bool open_ = false;
  std::string newFile_;  // empty when there is none
  std::string target_;
};

}  // namespace setwright
