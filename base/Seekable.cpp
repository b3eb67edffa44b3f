#include "base/Seekable.h"

namespace brix {

std::int64_t Seekable::size() {
  const std::int64_t position = tell();
  seek(0, End);
  const std::int64_t end = tell();
  seek(position, Begin);
  return end;
}

}  // namespace brix
