// Helpers of the fuzz targets: reading the fuzzer's bytes, and stopping at
// once with a message when a property that must hold is broken.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fuzz {

// Stops the run: the fuzzer saves the input that broke the property.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

// The fuzzer's input, taken from the front.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // One byte, or 0 when the input is used up.
  std::uint8_t Byte() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }
  // Copies up to `length` bytes into `target` and returns how many; the
  // rest of `target` is left as it was.
  std::size_t CopyTo(void* target, std::size_t length) {
    const std::size_t taken = std::min(length, size_);
    if (taken != 0) std::memcpy(target, data_, taken);
    data_ += taken;
    size_ -= taken;
    return taken;
  }
  std::size_t Remaining() const { return size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace fuzz
