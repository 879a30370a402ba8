#include "replacing_file.h"

namespace setwright {

ReplacingFile::ReplacingFile(FileOperations& files)
    : files_(files),
      output_([this](const char* data, std::size_t size) { return files_.Write(data, size); },
              BlockOutput::Mode::kWhenFull) {}

std::int32_t ReplacingFile::Create(const std::string& target, const std::string& replacement) {
  if (const std::int32_t code = files_.CheckWritable(target); code != 0) {
    return code;
  }
  if (const std::int32_t code = files_.Create(replacement); code != 0) {
    return code;
  }
  open_ = true;
  newFile_ = replacement;
  target_ = target;
  return 0;
}

std::int32_t ReplacingFile::Write(std::string_view bytes) {
  return output_.Write(bytes);
}

std::int32_t ReplacingFile::Close() {
  if (const std::int32_t code = output_.Flush(); code != 0) {
    return code;
  }
  // The data reaches the disk before the name does, so that a crash never leaves an empty file.
  if (const std::int32_t code = files_.Sync(); code != 0) {
    return code;
  }
  open_ = false;
  if (const std::int32_t code = files_.Close(); code != 0) {
    return code;
  }
  if (const std::int32_t code = files_.Rename(newFile_, target_); code != 0) {
    return code;
  }
  newFile_.clear();
  return 0;
}

void ReplacingFile::Discard() {
  output_.Discard();
  if (open_) {
    files_.Close();
    open_ = false;
  }
  if (!newFile_.empty()) {
    files_.Remove(newFile_);
    newFile_.clear();
  }
}

}  // namespace setwright
