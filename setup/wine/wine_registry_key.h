// A registry key of a Wine prefix, read from the prefix's machine hive on disk.
#pragma once

#include <filesystem>
#include <string>

#include "setup/core/system_root.h"

namespace setwright {

// Read-only: a missing key is not created, and what a running Wine has not yet saved to the
// hive is not seen. Text values reach the caller in the ANSI code page, as through the ANSI calls.
class WineRegistryKey final : public RegistryKey {
 public:
  explicit WineRegistryKey(std::filesystem::path hiveFile) : hiveFile_(std::move(hiveFile)) {}

  // True when the hive could be read; a key missing from it reads as a key without values.
  bool Open(const std::string& subKey) override;
  bool QuerySize(const std::string& name, std::uint32_t& type, std::uint32_t& size) override;
  bool QueryData(const std::string& name, std::uint32_t& type, std::string& data) override;
  void Close() override;

 private:
  // Type and bytes of value `name` as a program gets them; false when there is no such value.
  bool Lookup(const std::string& name, std::uint32_t& type, std::string& bytes) const;

  std::filesystem::path hiveFile_;
  bool open_ = false;
  std::string hive_;
  std::string keyPath_;
};

}  // namespace setwright
