#include "setup/wine/wine_registry_key.h"

#include "setup/wine/code_page.h"
#include "setup/wine/wine_hive.h"

namespace setwright {

bool WineRegistryKey::Open(const std::string& subKey) {
  if (ReadHiveFile(hiveFile_, hive_) != 0) {
    hive_.clear();
    return false;
  }
  keyPath_ = subKey;
  // The API ignores a trailing backslash; the hive names keys without one.
  while (!keyPath_.empty() && keyPath_.back() == '\\') {
    keyPath_.pop_back();
  }
  open_ = true;
  return true;
}

bool WineRegistryKey::Lookup(const std::string& name, std::uint32_t& type,
                             std::string& bytes) const {
  if (!open_) {
    return false;
  }
  const auto value = FindHiveValue(hive_, keyPath_, name);
  if (!value) {
    return false;
  }
  type = value->type;
  const bool isText = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
  bytes = isText ? AnsiCodePage().AnsiFromUtf16(value->data) : value->data;
  return true;
}

bool WineRegistryKey::QuerySize(const std::string& name, std::uint32_t& type, std::uint32_t& size) {
  std::string bytes;
  if (!Lookup(name, type, bytes)) {
    return false;
  }
  size = static_cast<std::uint32_t>(bytes.size());
  return true;
}

bool WineRegistryKey::QueryData(const std::string& name, std::uint32_t& type, std::string& data) {
  std::string bytes;
  if (!Lookup(name, type, bytes) || bytes.size() > data.size()) {
    return false;
  }
  data = std::move(bytes);
  return true;
}

void WineRegistryKey::Close() {
  open_ = false;
  hive_.clear();
}

}  // namespace setwright
