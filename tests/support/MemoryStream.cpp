#include "tests/support/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace testing_support {

MemoryStream::MemoryStream(const std::uint8_t* data, std::size_t size)
    : data_(data), size_(static_cast<std::int64_t>(size)) {}

MemoryStream::MemoryStream(std::vector<std::uint8_t> bytes)
    : owned_(std::move(bytes)), data_(owned_.data()), size_(static_cast<std::int64_t>(owned_.size())) {}

std::uint32_t MemoryStream::read(void* buffer, std::uint32_t count) {
  ++readCalls_;
  if (position_ >= size_) return 0;
  const auto available = static_cast<std::uint64_t>(size_ - position_);
  const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>({count, available, maxPerRead_}));
  // A read of nothing may come with no buffer at all (an empty vector's
  // data()), and memcpy must not see a null pointer even for 0 bytes.
  if (n == 0) return 0;
  if (static_cast<std::uint64_t>(position_) + n > unreadableFrom_) throw std::runtime_error("Data error");
  std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  bytesRead_ += n;
  return n;
}

std::int64_t MemoryStream::seek(std::int64_t offset, int origin) {
  ++seekCalls_;
  std::int64_t base;
  switch (origin) {
    case Begin: base = 0; break;
    case Current: base = position_; break;
    case End: base = size_; break;
    default: throw std::runtime_error("MemoryStream: bad seek origin");
  }
  // Offsets from a file can be anything; refuse what would overflow.
  if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset)) {
    throw std::runtime_error("MemoryStream: seek out of range");
  }
  position_ = base + offset;
  return position_;
}

}  // namespace testing_support
