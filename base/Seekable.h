#pragma once
#include <cstdint>

namespace brix {

// Random access by 64-bit signed positions.
class Seekable {
 public:
  enum Origin { Begin = 0, Current = 1, End = 2 };

  // Moves to offset relative to origin (a Origin value, passed as int so
  // that any value reaches the platform); returns the new absolute position.
  virtual std::int64_t seek(std::int64_t offset, int origin) = 0;
  virtual std::int64_t tell() = 0;
  // By default: seek to the end, tell, seek back. The position is unchanged.
  virtual std::int64_t size();

 protected:
  ~Seekable() = default;
};

}  // namespace brix
