#pragma once

#include "tests/support/MessagePump.h"
#include "ui/CommonControls.h"

namespace brix {
class Dialog;
}

namespace ui_testing {

// The test executable, which holds the test resources.
HINSTANCE module();

using testing_support::initCommonControls;
using testing_support::pumpMessages;
using testing_support::pumpUntil;

// A modeless IDD_TEST_DIALOG run by Dialog::dialogProc for a given object,
// destroyed with this guard if it still exists.
class ModelessDialog {
 public:
  // Throws std::runtime_error when the dialog can't be made.
  explicit ModelessDialog(brix::Dialog* object);
  ~ModelessDialog();
  ModelessDialog(const ModelessDialog&) = delete;
  ModelessDialog& operator=(const ModelessDialog&) = delete;

  HWND handle() const { return window_; }
  HWND item(int id) const { return GetDlgItem(window_, id); }
  // Destroys the window now.
  void destroy();

 private:
  HWND window_;
};

}  // namespace ui_testing
