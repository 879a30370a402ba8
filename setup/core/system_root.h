// The Windows directory as the registry value "SystemRoot" holds it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace setwright {

// Registry value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Under HKEY_LOCAL_MACHINE; the leading backslash marks a path that starts at the root key.
inline constexpr std::string_view kSystemRootKeyPath =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\";
inline constexpr std::string_view kSystemRootValueName = "SystemRoot";

// One key under HKEY_LOCAL_MACHINE, in the calls that ReadSystemRoot makes on it.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // Opens `subKey` with full access, creating it when missing. True when a key is open now.
  virtual bool Open(const std::string& subKey) = 0;
  // Type and size in bytes of value `name`; false when the query fails (also with no key open).
  virtual bool QuerySize(const std::string& name, std::uint32_t& type, std::uint32_t& size) = 0;
  // Reads value `name` into `data`, whose size is the buffer's; afterwards `data` holds the
  // bytes stored. False when the query fails, the buffer being too small included.
  virtual bool QueryData(const std::string& name, std::uint32_t& type, std::string& data) = 0;
  // Closes the open key.
  virtual void Close() = 0;
};

// The Windows directory, possibly empty; throws ERegistryException when the value can be seen
// but not read, or is no string. The key is closed before this returns or throws.
std::string ReadSystemRoot(RegistryKey& key);

}  // namespace setwright
