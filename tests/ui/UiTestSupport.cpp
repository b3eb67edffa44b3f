#include "tests/ui/UiTestSupport.h"

#include <stdexcept>

#include "tests/ui/TestResources.h"
#include "ui/Dialog.h"

namespace ui_testing {

HINSTANCE module() {
  return GetModuleHandleA(nullptr);
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
