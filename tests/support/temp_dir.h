// A fresh folder per test, removed with everything in it when the test ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/archive_writer.h"

namespace testing_support {

class TempDir {
 public:
  TempDir() {
    std::string pattern = std::filesystem::temp_directory_path() / "gorblunk-test-XXXXXX";
    path_ = ::mkdtemp(pattern.data()) ? pattern : throw std::runtime_error("no temporary folder");
  }
  ~TempDir() {
    std::error_code ignored;  // a test may have taken the owner's rights away
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes `image` as `name` in the folder and returns its path.
  std::string Write(const std::string& name, const archive::ArchiveImage& image) const {
    return image.WriteTo(File(name)) ? File(name)
                                     : throw std::runtime_error("cannot write " + name);
  }
  std::string WriteText(const std::string& name, const std::string& bytes) const {
    std::ofstream file(File(name), std::ios::binary);
    return file << bytes && file.flush() ? File(name)
                                         : throw std::runtime_error("cannot write " + name);
  }
  // Writes as `name` an archive titled "Numbered" of `count` stored records named R0.SPR, R1.SPR,
  // ... of 100, 101, ... bytes, and returns its path.
  std::string WriteNumbered(const std::string& name, int count) const {
    std::vector<archive::RecordSpec> records;
    for (int i = 0; i < count; ++i) {
      records.push_back({"R" + std::to_string(i) + ".SPR", archive::kMethodStored, 100 + i});
    }
    return Write(name, archive::BuildArchive("Numbered", 1, records));
  }

 private:
  std::filesystem::path path_;
};

// The bytes of the file at `path`; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
