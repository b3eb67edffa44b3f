#include "base/InputStream.h"

#include "base/EOFException.h"
#include "base/FormatString.h"

namespace brix {

std::uint32_t InputStream::readFully(void* buffer, std::uint32_t count) {
  if (read(buffer, count) != count) {
    throw EOFException(formatString("EOF in readFully(%p,%lu)\n", buffer, count));
  }
  return count;
}

}  // namespace brix
