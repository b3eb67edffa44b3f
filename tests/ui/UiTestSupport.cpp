#include "tests/ui/UiTestSupport.h"

#include <stdexcept>

#include "tests/ui/TestResources.h"
#include "ui/Dialog.h"

namespace ui_testing {

HINSTANCE module() {
  return GetModuleHandleA(nullptr);
}

void initCommonControls() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
  if (!InitCommonControlsEx(&controls)) throw std::runtime_error("InitCommonControlsEx failed");
}

void pumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    pumpMessages();
    Sleep(1);
  }
  return true;
}

ModelessDialog::ModelessDialog(brix::Dialog* object)
    : window_(CreateDialogParamA(module(), MAKEINTRESOURCEA(IDD_TEST_DIALOG), nullptr, brix::Dialog::dialogProc,
                                 reinterpret_cast<LPARAM>(object))) {
  if (!window_) throw std::runtime_error("CreateDialogParamA failed");
}

ModelessDialog::~ModelessDialog() {
  destroy();
}

void ModelessDialog::destroy() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
}

}  // namespace ui_testing
