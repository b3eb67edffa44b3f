#pragma once
#include "base/Exception.h"

namespace brix {

// A read ran past the end of the data.
class EOFException : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace brix
