// Temporary folders, the working directory, files and child processes for the setup tests.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace setwright::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Changes the working directory for the life of the object.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& path);
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path saved_;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

struct ProcessResult {
  int exitStatus = -1;  // -1 when the process did not exit normally
  std::string output;   // standard output, byte for byte
};

// Runs `argv` (the program looked up in PATH) in `workingDirectory`, with `environment` added
// to this process's; standard input and standard error are /dev/null.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::filesystem::path& workingDirectory,
                         const std::vector<std::pair<std::string, std::string>>& environment = {});

// The bytes of the banner as the program prints it.
std::string BannerText();

// `text` as UTF-16 code units, little-endian, as the registry holds text.
std::string Utf16(std::u16string_view text);

// The text of a Wine machine hive holding `valueLines` under the key that SystemRoot lives in.
std::string HiveWithValues(const std::string& valueLines);

}  // namespace setwright::testing
