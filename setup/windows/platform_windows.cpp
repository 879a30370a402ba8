#include "setup/windows/platform_windows.h"

#include "setup/core/error_codes.h"
#include "setup/core/settings_file.h"
#include "setup/core/system_root.h"

namespace setwright {

namespace {

constexpr DWORD kDirectoryBufferLength = 260;

std::int32_t LastError() {
  return static_cast<std::int32_t>(::GetLastError());
}

std::int32_t WriteAll(HANDLE handle, const char* data, std::size_t size) {
  DWORD written = 0;
  if (!::WriteFile(handle, data, static_cast<DWORD>(size), &written, nullptr)) {
    return LastError();
  }
  return written == size ? 0 : kErrorShortWrite;
}

class WindowsRegistryKey final : public RegistryKey {
 public:
  bool Open(const std::string& subKey) override {
    const LONG result =
        ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    if (result != ERROR_SUCCESS) {
      key_ = nullptr;
    }
    return key_ != nullptr;
  }

  bool QuerySize(const std::string& name, std::uint32_t& type, std::uint32_t& size) override {
    DWORD valueType = 0;
    DWORD valueSize = 0;
    if (key_ == nullptr || ::RegQueryValueExA(key_, name.c_str(), nullptr, &valueType, nullptr,
                                              &valueSize) != ERROR_SUCCESS) {
      return false;
    }
    type = valueType;
    size = valueSize;
    return true;
  }

  bool QueryData(const std::string& name, std::uint32_t& type, std::string& data) override {
    DWORD valueType = 0;
    DWORD valueSize = static_cast<DWORD>(data.size());
    if (key_ == nullptr ||
        ::RegQueryValueExA(key_, name.c_str(), nullptr, &valueType,
                           reinterpret_cast<BYTE*>(data.data()), &valueSize) != ERROR_SUCCESS) {
      return false;
    }
    type = valueType;
    data.resize(valueSize);
    return true;
  }

  void Close() override {
    // Only read from: closing it can lose nothing, and the run has its values already.
    ::RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

// The file that `path` names, links followed, so that a settings file that is a link stays one
// and the file it names is replaced; `path` itself when there is no such file or the final path
// does not fit the ANSI calls.
std::string FinalPath(const std::string& path) {
  const HANDLE file =
      ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return path;
  }
  char buffer[MAX_PATH + 8] = {};
  const DWORD length =
      ::GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
  ::CloseHandle(file);  // opened without access, for its name only
  constexpr std::string_view kLocalPrefix = "\\\\?\\";
  const std::string_view final(buffer, length < sizeof buffer ? length : 0);
  if (!final.starts_with(kLocalPrefix) || final.starts_with("\\\\?\\UNC\\") ||
      final.size() - kLocalPrefix.size() >= kDirectoryBufferLength) {
    return path;
  }
  return std::string(final.substr(kLocalPrefix.size()));
}

// Marks the open `file` for deletion when its last handle closes, or takes the mark away.
bool MarkForDeletion(HANDLE file, bool deletion) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = deletion ? TRUE : FALSE;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

}  // namespace

WindowsFileOperations::~WindowsFileOperations() {
  Close();
}

std::int32_t WindowsFileOperations::CheckWritable(const std::string& path) {
  // A read-only file is not replaced, although ReplaceFileA would only find out at the end.
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  const HANDLE probe = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    ::CloseHandle(probe);  // opened for the check only, nothing written
    return 0;
  }
  return ::GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : LastError();
}

std::int32_t WindowsFileOperations::CreateNew(const std::string& path,
                                              const std::string& /*model*/) {
  // The attributes of an earlier file are kept when ReplaceFileA puts this one in its place.
  file_ = ::CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) {
    return LastError();
  }
  // Where the mark cannot be set, a killed run leaves the file, as any named file would be left.
  deletePending_ = MarkForDeletion(file_, true);
  return 0;
}

std::int32_t WindowsFileOperations::Create(const std::string& path) {
  file_ = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  return file_ == INVALID_HANDLE_VALUE ? LastError() : 0;
}

std::int32_t WindowsFileOperations::Read(const std::string& path, std::string& bytes) {
  const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return LastError();
  }
  std::int32_t code = ::GetFileType(file) == FILE_TYPE_DISK ? 0 : ERROR_INVALID_PARAMETER;
  bytes.clear();
  char buffer[4096];
  for (DWORD got = 1; code == 0 && got != 0;) {
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      code = LastError();
    }
    bytes.append(buffer, code == 0 ? got : 0);
  }
  ::CloseHandle(file);  // read only: closing it can lose nothing
  return code;
}

std::int32_t WindowsFileOperations::Write(const char* data, std::size_t size) {
  return WriteAll(file_, data, size);
}

std::int32_t WindowsFileOperations::Sync() {
  return ::FlushFileBuffers(file_) ? 0 : LastError();
}

std::int32_t WindowsFileOperations::Link() {
  if (deletePending_ && !MarkForDeletion(file_, false)) {
    return LastError();
  }
  deletePending_ = false;
  return 0;
}

std::int32_t WindowsFileOperations::Close() {
  if (file_ == INVALID_HANDLE_VALUE) {
    return 0;
  }
  const BOOL closed = ::CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
  deletePending_ = false;
  return closed ? 0 : LastError();
}

std::int32_t WindowsFileOperations::Rename(const std::string& from, const std::string& to) {
  if (::ReplaceFileA(to.c_str(), from.c_str(), nullptr, 0, nullptr, nullptr)) {
    return 0;
  }
  // ReplaceFileA needs a file to replace; without one the new file is simply moved there.
  if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
    return LastError();
  }
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : LastError();
}

void WindowsFileOperations::Remove(const std::string& path) {
  // After a failure, which is the one reported; a file left behind is all that a failed removal
  // can cause. A file that was still marked is gone already.
  [[maybe_unused]] const BOOL removed = ::DeleteFileA(path.c_str());
}

WindowsPlatform::WindowsPlatform()
    : output_(::GetStdHandle(STD_OUTPUT_HANDLE)),
      console_([this](const char* data, std::size_t size) { return WriteAll(output_, data, size); },
               ::GetFileType(output_) == FILE_TYPE_CHAR ? BlockOutput::Mode::kAtEachCall
                                                        : BlockOutput::Mode::kWhenFull) {}

std::int32_t WindowsPlatform::WriteStandardOutput(std::string_view bytes) {
  return console_.Write(bytes);
}

std::int32_t WindowsPlatform::FinishStandardOutput() {
  return console_.Flush();
}

std::int32_t WindowsPlatform::ReadCurrentDirectory(std::string& directory) {
  char buffer[kDirectoryBufferLength] = {};
  const DWORD length = ::GetCurrentDirectoryA(kDirectoryBufferLength, buffer);
  if (length == 0) {
    return LastError();
  }
  if (length >= kDirectoryBufferLength) {  // the length it would need: nothing was stored
    return kErrorFilenameTooLong;
  }
  directory.assign(buffer);
  return 0;
}

std::string WindowsPlatform::ReadSystemRoot() {
  WindowsRegistryKey key;
  return setwright::ReadSystemRoot(key);
}

std::int32_t WindowsPlatform::CreateSettingsFile(const std::string& path) {
  const DWORD firstName = ::GetTickCount() ^ (::GetCurrentProcessId() << 12);
  return settingsFile_.Create(FinalPath(path), firstName);
}

std::int32_t WindowsPlatform::WriteSettingsFile(std::string_view bytes) {
  return settingsFile_.Write(bytes);
}

std::int32_t WindowsPlatform::CloseSettingsFile() {
  return settingsFile_.Close();
}

void WindowsPlatform::DiscardSettingsFile() {
  settingsFile_.Discard();
}

std::string ProgramFileName() {
  char buffer[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  const std::string path(buffer, length);
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace setwright
