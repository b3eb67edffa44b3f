#include "tests/support/MessagePump.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace testing_support {
namespace {

std::vector<HWND> routedSheets;

}  // namespace

void initCommonControls() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
  if (!InitCommonControlsEx(&controls)) throw std::runtime_error("InitCommonControlsEx failed");
}

void routeKeysThrough(HWND sheet) {
  routedSheets.push_back(sheet);
}

void stopRoutingKeys(HWND sheet) {
  routedSheets.erase(std::remove(routedSheets.begin(), routedSheets.end(), sheet), routedSheets.end());
}

void pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    const bool navigation = std::any_of(routedSheets.begin(), routedSheets.end(), [&message](HWND sheet) {
      return IsWindow(sheet) && PropSheet_IsDialogMessage(sheet, &message);
    });
    if (navigation) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
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

}  // namespace testing_support
