// A fresh folder per test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

#include "archive_writer.h"

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes `image` as `name` in the folder and returns its path.
  std::string Write(const std::string& name, const archive::ArchiveImage& image) const;
  std::string WriteText(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// The bytes of the file at `path`; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace testing_support
