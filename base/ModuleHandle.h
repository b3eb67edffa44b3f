#pragma once
#include <string>

#include "base/Win32.h"

namespace brix {

// The DLL's own instance handle, null until DllMain stores it: the module
// that holds the resources of the code that runs in it.
HINSTANCE moduleHandle() noexcept;
void setModuleHandle(HINSTANCE instance) noexcept;

// The full path of the file the module was loaded from, in UTF-8, however
// long. Throws WindowsError "Can't get module file name" when the system
// can't tell.
std::string moduleFileName(HMODULE module);

}  // namespace brix
