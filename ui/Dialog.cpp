#include "ui/Dialog.h"

#include "base/WindowsError.h"

namespace brix {

LRESULT Dialog::defaultProc(UINT, WPARAM, LPARAM) {
  if (!records_.empty()) records_.back().handled = false;
  return 0;
}

void Dialog::onCommand(Window* control, WORD code, WORD id) {
  if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) {
    endDialog(id);
    return;
  }
  Window::onCommand(control, code, id);
}

Dialog::~Dialog() = default;

bool Dialog::onInitDialog(Window*) {
  return true;
}

void Dialog::endDialog(int result) {
  if (!EndDialog(handle(), result)) throw WindowsError("Can't end modal dialog");
}

INT_PTR Dialog::initDialog(Dialog* dialog, HWND window, WPARAM focus) noexcept {
  if (!dialog) return FALSE;
  try {
    dialog->attach(window, false);
    const WindowRef focusControl = fromHandle(reinterpret_cast<HWND>(focus), true);
    return dialog->onInitDialog(focusControl.get()) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return initDialog(reinterpret_cast<Dialog*>(lParam), window, wParam);
  Dialog* dialog = nullptr;
  std::size_t depth = 0;
  try {
    // Before WM_INITDIALOG (WM_SETFONT, for one) the window has no object
    // yet; during the object's destruction it is no Dialog any more.
    dialog = dynamic_cast<Dialog*>(fromHandle(window, false).get());
    if (!dialog) return FALSE;
    depth = dialog->records_.size();
    dialog->records_.push_back({message, true});
    dialog->dispatch(message, wParam, lParam);
    const bool handled = dialog->records_.back().handled;
    dialog->records_.pop_back();
    return handled ? TRUE : FALSE;
  } catch (...) {
    // Back to the stack as it was before this message, whatever nested
    // messages left on it.
    if (dialog && dialog->records_.size() > depth) dialog->records_.resize(depth);
    return FALSE;
  }
}

}  // namespace brix
