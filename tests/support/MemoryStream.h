#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/SeekableInputStream.h"

namespace testing_support {

// A seekable input stream over bytes in memory, for tests, fuzzing and
// benchmarks. It counts the read calls and bytes delivered, and can be made
// awkward: at most maxPerRead bytes per read call, as a slow device would,
// and reads that touch the bytes from a position on fail, as over a bad
// sector.
class MemoryStream : public brix::SeekableInputStream {
 public:
  // Over bytes the caller keeps alive.
  MemoryStream(const std::uint8_t* data, std::size_t size);
  // Over its own copy.
  explicit MemoryStream(std::vector<std::uint8_t> bytes);

  std::uint32_t read(void* buffer, std::uint32_t count) override;
  std::int64_t seek(std::int64_t offset, int origin) override;
  std::int64_t tell() override { return position_; }

  void setMaxPerRead(std::uint32_t limit) { maxPerRead_ = limit; }
  void setUnreadableFrom(std::uint64_t position) { unreadableFrom_ = position; }
  std::uint64_t readCalls() const { return readCalls_; }
  std::uint64_t bytesRead() const { return bytesRead_; }
  std::uint64_t seekCalls() const { return seekCalls_; }

 private:
  std::vector<std::uint8_t> owned_;
  const std::uint8_t* data_;
  std::int64_t size_;
  std::int64_t position_ = 0;
  std::uint32_t maxPerRead_ = UINT32_MAX;
  std::uint64_t unreadableFrom_ = UINT64_MAX;
  std::uint64_t readCalls_ = 0;
  std::uint64_t bytesRead_ = 0;
  std::uint64_t seekCalls_ = 0;
};

}  // namespace testing_support
