#pragma once
#include <cstdint>

namespace brix {

// A source of bytes. Counts per call are 32-bit on every platform.
class InputStream {
 public:
  // Reads at most count bytes; returns how many, 0 at the end of the data.
  virtual std::uint32_t read(void* buffer, std::uint32_t count) = 0;
  // One read of exactly count bytes, or EOFException. A short read is never
  // retried; the bytes it delivered stay in the buffer.
  virtual std::uint32_t readFully(void* buffer, std::uint32_t count);

 protected:
  ~InputStream() = default;
};

}  // namespace brix
