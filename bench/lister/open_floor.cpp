// The least a listing must do: the same opens and reads as trovanta-ls (the header once for the
// count, header and entry once per record, the length once per compressed record), and nothing
// else. Prints the number of records read so that the work cannot be left out. With a second
// argument "held", the archive is opened once and every read goes through that one handle: what
// a listing would cost if it kept the archive open. With "identity", every open also reads the
// file's identity from its handle as the library does (fstat; on Windows the file index, size and
// write time), as a listing that notices a changed archive must. With "volume" (Windows), every
// open reads it with GetFileInformationByHandle instead, which adds the volume serial: what the
// library left out because Wine answers it through another process. Builds natively and for
// Windows.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <winternl.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kHeaderSize = 82;
constexpr std::size_t kEntrySize = 22;

std::int32_t I32(const unsigned char* bytes) {
  std::uint32_t value;
  std::memcpy(&value, bytes, 4);
  return static_cast<std::int32_t>(value);
}

#ifdef _WIN32
int OpenArchive(const char* path) {
  return _open(path, _O_RDONLY | _O_BINARY);
}
bool ReadAt(int fd, unsigned char* bytes, std::size_t count, std::int64_t position) {
  return _lseeki64(fd, position, SEEK_SET) == position &&
         _read(fd, bytes, static_cast<unsigned>(count)) == static_cast<int>(count);
}
void CloseArchive(int fd) {
  _close(fd);  // read-only: its close has nothing to lose
}
bool ReadIdentity(int fd, bool volume) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (volume) {
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileInformationByHandle(handle, &info) != 0;
  }
  IO_STATUS_BLOCK status;
  FILE_INTERNAL_INFORMATION index;
  FILE_BASIC_INFORMATION times;
  FILE_STANDARD_INFORMATION sizes;
  return NT_SUCCESS(NtQueryInformationFile(handle, &status, &index, sizeof index,
                                           FileInternalInformation)) &&
         NT_SUCCESS(
             NtQueryInformationFile(handle, &status, &times, sizeof times, FileBasicInformation)) &&
         NT_SUCCESS(NtQueryInformationFile(handle, &status, &sizes, sizeof sizes,
                                           FileStandardInformation));
}
#else
int OpenArchive(const char* path) {
  return open(path, O_RDONLY);
}
bool ReadAt(int fd, unsigned char* bytes, std::size_t count, std::int64_t position) {
  return pread(fd, bytes, count, position) == static_cast<ssize_t>(count);
}
void CloseArchive(int fd) {
  close(fd);  // read-only: its close has nothing to lose
}
bool ReadIdentity(int fd, bool) {
  struct stat info;
  return fstat(fd, &info) == 0;
}
#endif

bool ReadHeader(int fd, unsigned char* header) {
  return ReadAt(fd, header, kHeaderSize, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc == 3 ? argv[2] : "";
  if (argc < 2 || argc > 3 ||
      (argc == 3 && mode != "held" && mode != "identity" && mode != "volume")) {
    return 2;
  }
  const bool held = mode == "held", volume = mode == "volume";
  const bool identity = mode == "identity" || volume;
  const int heldFd = held ? OpenArchive(argv[1]) : -1;  // closed, read-only, with the process
  // Each step opens the archive anew, or uses the one held open.
  const auto openStep = [&] {
    const int fd = held ? heldFd : OpenArchive(argv[1]);
    return identity && fd >= 0 && !ReadIdentity(fd, volume) ? -1 : fd;
  };
  const auto closeStep = [&](int fd) { held ? void() : CloseArchive(fd); };
  unsigned char header[kHeaderSize];
  int fd = openStep();
  if (fd < 0 || !ReadHeader(fd, header)) {
    return 1;
  }
  closeStep(fd);
  const std::int32_t count = I32(header + 37);
  long long compressed = 0;
  long long read = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    fd = openStep();
    unsigned char entry[kEntrySize];
    const bool ok =
        ReadHeader(fd, header) &&
        ReadAt(fd, entry, kEntrySize, I32(header + 31) + static_cast<std::int64_t>(kEntrySize) * i);
    closeStep(fd);
    if (!ok) {
      continue;
    }
    ++read;
    if (entry[8] != 0 && I32(entry + 4) > 0) {
      fd = openStep();
      unsigned char length[4];
      compressed += ReadAt(fd, length, 4, I32(entry)) ? 1 : 0;
      closeStep(fd);
    }
  }
  const bool printed = std::printf("%lld records, %lld compressed\n", read, compressed) > 0;
  return printed && std::fflush(stdout) == 0 ? 0 : 1;
}
