#pragma once

namespace brix {

// COM callers written in C pass interface and class ids by pointer, and a
// null one must give E_POINTER. C++ takes the address of a reference to be
// never null and would drop a plain test of it, so the test goes through a
// function whose result the optimiser may not assume.
[[gnu::noipa]] inline bool isNullReference(const void* address) noexcept {
  return address == nullptr;
}

}  // namespace brix
