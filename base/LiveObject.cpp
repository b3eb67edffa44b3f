#include "base/LiveObject.h"

namespace brix {

namespace {
// Every DLL links its own copy of this library, so each module counts its
// own objects.
volatile LONG liveObjects = 0;
}  // namespace

LiveObject::LiveObject() noexcept {
  InterlockedIncrement(&liveObjects);
}

LiveObject::LiveObject(const LiveObject&) noexcept {
  InterlockedIncrement(&liveObjects);
}

LiveObject::~LiveObject() {
  InterlockedDecrement(&liveObjects);
}

LONG liveObjectCount() noexcept {
  return liveObjects;
}

}  // namespace brix
