#pragma once
#include "base/Win32.h"

namespace brix {

// The DLL's own instance handle, null until DllMain stores it: the module
// that holds the resources of the code that runs in it.
HINSTANCE moduleHandle() noexcept;
void setModuleHandle(HINSTANCE instance) noexcept;

}  // namespace brix
