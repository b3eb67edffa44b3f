#include "ui/CommonControls.h"

#include "base/WindowsError.h"

namespace brix {

void initCommonControls(DWORD classes) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = classes;
  if (!InitCommonControlsEx(&controls)) throw WindowsError("Can't register common controls");
}

}  // namespace brix
