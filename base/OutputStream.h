#pragma once
#include <cstdint>

namespace brix {

// A sink of bytes. Counts per call are 32-bit on every platform.
class OutputStream {
 public:
  // Returns the number of bytes written.
  virtual std::uint32_t write(const void* buffer, std::uint32_t count) = 0;

 protected:
  ~OutputStream() = default;
};

}  // namespace brix
