#include "base/Exception.h"

namespace brix {

const char* Exception::what() const noexcept { return message_.c_str(); }

}  // namespace brix
