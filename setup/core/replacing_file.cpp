#include "setup/core/replacing_file.h"

#include "setup/core/error_codes.h"

namespace setwright {

namespace {
// Names tried before a run of clashes is taken for a folder that takes no new file.
constexpr std::uint32_t kNameAttempts = 100;
}  // namespace

std::string ReplacementFilePath(std::string_view path, std::uint32_t number) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  const std::size_t folderEnd = path.find_last_of("\\/");
  std::string result(path.substr(0, folderEnd == std::string_view::npos ? 0 : folderEnd + 1));
  result += "Gk";
  for (int shift = 20; shift >= 0; shift -= 4) {
    result += kDigits[(number >> shift) & 0xF];
  }
  return result + ".$$$";
}

ReplacingFile::ReplacingFile(FileOperations& files)
    : files_(files),
      output_([this](const char* data, std::size_t size) { return files_.Write(data, size); },
              BlockOutput::Mode::kWhenFull) {}

std::int32_t ReplacingFile::Create(const std::string& target, std::uint32_t firstName) {
  if (const std::int32_t code = files_.CheckWritable(target); code != 0) {
    return code;
  }
  std::int32_t code = 0;
  for (std::uint32_t attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string replacement = ReplacementFilePath(target, firstName + attempt);
    code = files_.CreateNew(replacement, target);
    if (code == 0) {
      open_ = true;
      newFile_ = replacement;
      target_ = target;
      return 0;
    }
    if (code != kErrorFileExists && code != kErrorAlreadyExists) {
      break;
    }
  }
  if (code != kErrorAccessDenied) {
    return code;
  }
  std::string earlier;
  code = files_.Read(target, earlier);
  if (code != 0 && code != kErrorFileNotFound) {
    return code;  // what cannot be read could not be put back
  }
  earlier_ = code == 0 ? std::optional(std::move(earlier)) : std::nullopt;
  code = files_.Create(target);
  open_ = inPlace_ = code == 0;
  target_ = target;
  return code;
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
  if (const std::int32_t code = newFile_.empty() ? 0 : files_.Link(); code != 0) {
    return code;
  }
  open_ = false;
  if (const std::int32_t code = files_.Close(); code != 0) {
    return code;
  }
  if (newFile_.empty()) {
    inPlace_ = false;  // written in place, and complete
    return 0;
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
    // The file is given up: a failed close changes nothing of what follows.
    [[maybe_unused]] const std::int32_t closed = files_.Close();
    open_ = false;
  }
  if (!newFile_.empty()) {
    files_.Remove(newFile_);
    newFile_.clear();
  }
  if (inPlace_) {
    inPlace_ = false;
    // The earlier bytes go back as well as they can: the failure that led here is the one
    // reported, and there is nothing more to fall back on when this fails too.
    if (!earlier_) {
      files_.Remove(target_);
    } else if (files_.Create(target_) == 0) {
      [[maybe_unused]] const bool restored =
          files_.Write(earlier_->data(), earlier_->size()) == 0 && files_.Sync() == 0;
      [[maybe_unused]] const std::int32_t closed = files_.Close();
    }
  }
}

}  // namespace setwright
