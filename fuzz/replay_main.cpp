// Replays fuzz inputs without the fuzzing engine, for every build: each argument is a file or
// a folder of files given to the target once.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// False when the file cannot be read whole: replaying part of an input would test another one.
bool Replay(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  std::vector<char> bytes(error ? 0 : size);
  std::ifstream in(path, std::ios::binary);
  if (error || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(stderr, "replay: cannot read %s\n", path.string().c_str());
    return false;
  }
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  bool allRead = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
        if (entry.is_regular_file()) {
          allRead = Replay(entry.path()) && allRead;
          ++replayed;
        }
      }
    } else {
      allRead = Replay(path) && allRead;
      ++replayed;
    }
  }
  const bool shown = std::printf("replayed %d inputs\n", replayed) > 0 && std::fflush(stdout) == 0;
  return replayed > 0 && allRead && shown ? 0 : 1;
}
