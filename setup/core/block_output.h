// Output through a 128-byte buffer, the way the game's runtime writes text: the buffer is written
// out whenever it is full, so a failed write-out surfaces in the call during which it filled.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

namespace setwright {

class BlockOutput {
 public:
  static constexpr std::size_t kBlockSize = 128;

  // Writes `size` bytes out; returns 0 or the platform's error code.
  using WriteOut = std::function<std::int32_t(const char* data, std::size_t size)>;

  enum class Mode {
    kWhenFull,    // files and pipes
    kAtEachCall,  // character devices: every line goes out as soon as it ends
  };

  BlockOutput(WriteOut writeOut, Mode mode) : writeOut_(std::move(writeOut)), mode_(mode) {}

  // Returns the error code of the first write-out that failed during the call, or 0. After a
  // failure the bytes not yet written out are dropped: nothing is retried.
  std::int32_t Write(std::string_view bytes);
  // Writes out what is buffered.
  std::int32_t Flush();
  // Drops what is buffered without writing it.
  void Discard() { used_ = 0; }

 private:
  WriteOut writeOut_;
  Mode mode_;
  std::array<char, kBlockSize> buffer_{};
  std::size_t used_ = 0;
};

}  // namespace setwright
