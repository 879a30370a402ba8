#include "setup/core/system_root.h"

#include "setup/core/code_position.h"
#include "setup/core/failure_report.h"

namespace setwright {

namespace {

class KeyCloser {
 public:
  KeyCloser(RegistryKey& key, bool open) : key_(key), open_(open) {}
  ~KeyCloser() {
    if (open_) {
      key_.Close();
    }
  }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  RegistryKey& key_;
  bool open_;
};

std::string QuotedValueName() {
  return "'" + std::string(kSystemRootValueName) + "'";
}

}  // namespace

std::string ReadSystemRoot(RegistryKey& key) {
  std::string_view subKey = kSystemRootKeyPath;
  if (subKey.starts_with('\\')) {
    subKey.remove_prefix(1);
  }
  // The outcome of the open is not consulted: without a key both queries fail.
  const KeyCloser closer(key, key.Open(std::string(subKey)));
  const std::string name(kSystemRootValueName);
  std::uint32_t type = kRegNone;
  std::uint32_t size = 0;
  if (!key.QuerySize(name, type, size) || size == 0) {
    return {};
  }
  std::string data(size, '\0');
  if (!key.QueryData(name, type, data)) {
    throw ERegistryException("Failed to get data for " + QuotedValueName(),
                             position::kRegistryData);
  }
  if (type != kRegSz && type != kRegExpandSz) {
    throw ERegistryException("Invalid data type for " + QuotedValueName(), position::kRegistryType);
  }
  // An expandable string is used as stored: no variable in it is expanded.
  return data.substr(0, data.find('\0'));
}

}  // namespace setwright
