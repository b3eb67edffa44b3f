#pragma once
#include "base/InputStream.h"
#include "base/Seekable.h"

namespace brix {

// What the parser reads from.
class SeekableInputStream : public virtual InputStream, public virtual Seekable {
 protected:
  ~SeekableInputStream() = default;
};

}  // namespace brix
