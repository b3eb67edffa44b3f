#pragma once
// The common controls (list view, image list, property sheet pages), whose
// header needs the Win32 API declared before it.
// clang-format off
#include "base/Win32.h"
#include <commctrl.h>
// clang-format on

namespace brix {

// Registers the window classes of the common controls in classes (ICC_*) of
// the version this module binds. Throws WindowsError "Can't register common
// controls".
void initCommonControls(DWORD classes);

}  // namespace brix
