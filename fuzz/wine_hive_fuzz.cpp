// An arbitrary system.reg: finding a value and reading the Windows directory from it must end
// in a text or a registry failure, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/memory_file.h"
#include "setup/core/failure_report.h"
#include "setup/core/system_root.h"
#include "setup/wine/wine_hive.h"
#include "setup/wine/wine_registry_key.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view hive(reinterpret_cast<const char*>(data), size);
  setwright::FindHiveValue(hive, "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot");
  // The input's first line also serves as a key path and value name of its own.
  const std::string_view firstLine = hive.substr(0, hive.find('\n'));
  const std::size_t split = firstLine.find('=');
  if (split != std::string_view::npos) {
    setwright::FindHiveValue(hive, firstLine.substr(0, split), firstLine.substr(split + 1));
  }
  static fuzzing::MemoryFile file;
  if (!file.Set(data, size)) {
    return 0;
  }
  setwright::WineRegistryKey key(file.Path());
  try {
    setwright::ReadSystemRoot(key);
  } catch (const setwright::ERegistryException&) {
    // one of the two registry failures: an expected outcome
  }
  return 0;
}
