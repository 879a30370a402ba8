// A file replaced whole: the bytes go to a new file beside it, which takes the file's place only
// once everything is written and on disk, so that a failure leaves the earlier file untouched.
// In a folder where no file may be created, an earlier file that may be written is written in
// place instead: its bytes are read first and written back when a write fails after the
// truncation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "setup/core/block_output.h"

namespace setwright {

// The file operations that replacing a file needs, with at most one file open at a time. Every
// operation returns 0 or a Windows error code.
class FileOperations {
 public:
  virtual ~FileOperations() = default;

  // 0 when the file at `path` is missing or can be opened for writing; else the code that
  // opening it for writing meets.
  virtual std::int32_t CheckWritable(const std::string& path) = 0;
  // Creates the file at `path` and opens it for writing, only when nothing of that name exists:
  // a symlink is never followed, and any existing entry gives kErrorFileExists or
  // kErrorAlreadyExists. Where the platform keeps them on the file, the new file takes the
  // permissions and owner of the file at `model`, if there is one.
  virtual std::int32_t CreateNew(const std::string& path, const std::string& model) = 0;
  // Creates the file at `path`, or empties it, and opens it for writing.
  virtual std::int32_t Create(const std::string& path) = 0;
  // All bytes of the file at `path`, with no file open; kErrorFileNotFound when it is missing.
  virtual std::int32_t Read(const std::string& path, std::string& bytes) = 0;
  // Writes all of `size` bytes to the open file.
  virtual std::int32_t Write(const char* data, std::size_t size) = 0;
  // Brings what was written to the disk.
  virtual std::int32_t Sync() = 0;
  // Gives the open file made by CreateNew its name, where the platform can make a file that has
  // none until it is complete; a killed run then leaves nothing behind.
  virtual std::int32_t Link() { return 0; }
  // Closes the open file; it is closed afterwards even when this fails.
  virtual std::int32_t Close() = 0;
  // Puts the file `from` in the place of `to`, replacing it.
  virtual std::int32_t Rename(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
};

// The new file for replacing the file at `path`: in the same folder (after the last slash or
// backslash), named "Gk", `number` as six hexadecimal digits (its low 24 bits) and ".$$$", as
// long as "Gorblunk.Ini".
std::string ReplacementFilePath(std::string_view path, std::uint32_t number);

class ReplacingFile {
 public:
  explicit ReplacingFile(FileOperations& files);
  ~ReplacingFile() { Discard(); }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Starts the replacement of `target` through a new file beside it, named by
  // ReplacementFilePath from `firstName` on, the next number after each clash. Where no new file
  // may be made there, `target` is written in place instead, once its bytes are read. Fails, with
  // the code that replacing it in place would meet, when `target` could not be written.
  std::int32_t Create(const std::string& target, std::uint32_t firstName);
  // Through a 128-byte buffer, written out whenever it is full.
  std::int32_t Write(std::string_view bytes);
  // Writes out what is buffered, brings the new file to the disk, closes it and puts it in the
  // target's place.
  std::int32_t Close();
  // After a failure: closes and removes the new file, if any, or writes the earlier bytes back
  // into a target written in place. Never fails.
  void Discard();

 private:
  FileOperations& files_;
  BlockOutput output_;
  bool open_ = false;
  bool inPlace_ = false;  // the target has been emptied and is written in place
  std::string newFile_;   // empty when there is none, also when writing in place
  std::string target_;
  std::optional<std::string> earlier_;  // the bytes of a target written in place, if it existed
};

}  // namespace setwright
