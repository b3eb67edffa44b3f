#pragma once

#include <functional>

#include "ui/CommonControls.h"

namespace brix {
class Dialog;
}

namespace ui_testing {

// The test executable, which holds the test resources.
HINSTANCE module();
// Registers the common control classes (list view, tabs, property sheets).
void initCommonControls();
// Dispatches the queued messages of this thread.
void pumpMessages();
// Pumps until done() is true or timeoutMs has passed; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

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
