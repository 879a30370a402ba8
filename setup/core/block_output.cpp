#include "setup/core/block_output.h"

#include <algorithm>

namespace setwright {

std::int32_t BlockOutput::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t count = std::min(bytes.size(), kBlockSize - used_);
    std::copy_n(bytes.data(), count, buffer_.data() + used_);
    used_ += count;
    bytes.remove_prefix(count);
    if (used_ == kBlockSize) {
      if (const std::int32_t code = Flush(); code != 0) {
        return code;
      }
    }
  }
  return mode_ == Mode::kAtEachCall ? Flush() : 0;
}

std::int32_t BlockOutput::Flush() {
  if (used_ == 0) {
    return 0;
  }
  const std::size_t count = used_;
  used_ = 0;
  return writeOut_(buffer_.data(), count);
}

}  // namespace setwright
