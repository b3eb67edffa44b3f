#pragma once
#include "base/OutputStream.h"

namespace brix {

// An output stream whose data can be forced out to the device.
class BufferedOutputStream : public OutputStream {
 public:
  virtual void flush() = 0;
  // Releases the underlying object.
  virtual void close() = 0;

 protected:
  ~BufferedOutputStream() = default;
};

}  // namespace brix
