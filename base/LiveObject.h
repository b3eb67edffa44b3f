#pragma once
#include "base/Win32.h"

namespace brix {

// Counts itself among the objects that keep this module loaded, from its
// construction to its destruction: every COM object, and every property
// page whose dialog procedure runs in the module's code (a page may outlive
// the COM object that made it). DllCanUnloadNow answers from the count.
// Held as a member or base; a copy counts once more.
class LiveObject {
 public:
  LiveObject() noexcept;
  LiveObject(const LiveObject&) noexcept;
  LiveObject& operator=(const LiveObject&) noexcept { return *this; }
  ~LiveObject();
};

// The number of live objects of this module.
LONG liveObjectCount() noexcept;

}  // namespace brix
