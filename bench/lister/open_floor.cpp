// The least a listing must do: the same opens and reads as trovanta-ls (the header once for the
// count, header and entry once per record, the length once per compressed record), and nothing
// else. Prints the number of records read so that the work cannot be left out.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 82;
constexpr std::size_t kEntrySize = 22;

std::int32_t I32(const unsigned char* bytes) {
  std::uint32_t value;
  std::memcpy(&value, bytes, 4);
  return static_cast<std::int32_t>(value);
}

bool ReadHeader(int fd, unsigned char* header) {
  return pread(fd, header, kHeaderSize, 0) == static_cast<ssize_t>(kHeaderSize);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    return 2;
  }
  unsigned char header[kHeaderSize];
  int fd = open(argv[1], O_RDONLY);
  if (fd < 0 || !ReadHeader(fd, header)) {
    return 1;
  }
  close(fd);
  const std::int32_t count = I32(header + 37);
  long long compressed = 0;
  long long read = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    fd = open(argv[1], O_RDONLY);
    unsigned char entry[kEntrySize];
    const bool ok = ReadHeader(fd, header) &&
                    pread(fd, entry, kEntrySize,
                          I32(header + 31) + static_cast<std::int64_t>(kEntrySize) * i) ==
                        static_cast<ssize_t>(kEntrySize);
    close(fd);
    if (!ok) {
      continue;
    }
    ++read;
    if (entry[8] != 0 && I32(entry + 4) > 0) {
      fd = open(argv[1], O_RDONLY);
      unsigned char length[4];
      compressed += pread(fd, length, 4, I32(entry)) == 4;
      close(fd);
    }
  }
  std::printf("%lld records, %lld compressed\n", read, compressed);
  return 0;
}
