#include "fake_platform.h"

namespace setwright::testing {

bool FakePlatform::Fails(Operation operation, std::int32_t& code) {
  const int count = ++counts_[operation];
  if (fault && fault->operation == operation &&
      (count == fault->occurrence || (fault->sticky && count > fault->occurrence))) {
    code = fault->code;
    return true;
  }
  code = 0;
  return false;
}

std::int32_t FakePlatform::WriteStandardOutput(std::string_view bytes) {
  calls.emplace_back("console");
  std::int32_t code = 0;
  if (!Fails(Operation::kConsoleWrite, code)) {
    console.append(bytes);
  }
  return code;
}

std::int32_t FakePlatform::ReadCurrentDirectory(std::string& directory) {
  calls.emplace_back("directory");
  directory = currentDirectory;
  return currentDirectoryError;
}

std::string FakePlatform::ReadSystemRoot() {
  calls.emplace_back("registry");
  return systemRoot();
}

std::int32_t FakePlatform::CreateSettingsFile(const std::string& path) {
  calls.emplace_back("create");
  std::int32_t code = 0;
  if (!Fails(Operation::kCreate, code)) {
    newFilePath = path;
    newFileBytes.clear();
  }
  return code;
}

std::int32_t FakePlatform::WriteSettingsFile(std::string_view bytes) {
  calls.emplace_back("write");
  std::int32_t code = 0;
  if (!Fails(Operation::kFileWrite, code)) {
    newFileBytes.append(bytes);
  }
  return code;
}

std::int32_t FakePlatform::CloseSettingsFile() {
  calls.emplace_back("close");
  std::int32_t code = 0;
  if (!Fails(Operation::kClose, code)) {
    files[*newFilePath] = newFileBytes;
    newFilePath.reset();
  }
  return code;
}

void FakePlatform::DiscardSettingsFile() {
  calls.emplace_back("discard");
  newFilePath.reset();
  newFileBytes.clear();
}

}  // namespace setwright::testing
