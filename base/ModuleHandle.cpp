#include "base/ModuleHandle.h"

namespace brix {

namespace {
HINSTANCE handle = nullptr;
}  // namespace

HINSTANCE moduleHandle() noexcept {
  return handle;
}

void setModuleHandle(HINSTANCE instance) noexcept {
  handle = instance;
}

}  // namespace brix
