#pragma once
#include <boost/noncopyable.hpp>

#include "base/Win32.h"

namespace brix {

// Activates an activation context on this thread for as long as the object
// lives (Windows only), so that the code of a block creates and uses the
// controls of the context's versions. A null context activates nothing.
// Scopes nest and must end in the reverse order of their start, as blocks do.
class ActivationScope : private boost::noncopyable {
 public:
  // Throws WindowsError "Can't activate activation context". The context
  // must outlive the scope.
  explicit ActivationScope(HANDLE context);
  ~ActivationScope();

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

}  // namespace brix
