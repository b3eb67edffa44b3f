#include "tests/com/ListViewFaults.h"

#include <stdexcept>
#include <string>

namespace shell_host {
namespace {

ListViewFaults* active = nullptr;
// The list view's own procedure, which a list outliving the faults still
// reaches through faultyList.
WNDPROC listProc = nullptr;

bool isListView(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return std::wstring(name) == L"SysListView32";
}

}  // namespace

ListViewFaults::ListViewFaults(std::optional<Fault> fault)
    : fault_(fault),
      createHook_(SetWindowsHookExW(WH_CBT, onCreate, nullptr, GetCurrentThreadId())),
      messageHook_(SetWindowsHookExW(WH_CALLWNDPROCRET, afterMessage, nullptr, GetCurrentThreadId())) {
  if (active || !createHook_ || !messageHook_) {
    if (createHook_) UnhookWindowsHookEx(createHook_);
    if (messageHook_) UnhookWindowsHookEx(messageHook_);
    throw std::runtime_error("can't watch the list views");
  }
  active = this;
}

ListViewFaults::~ListViewFaults() {
  UnhookWindowsHookEx(createHook_);
  UnhookWindowsHookEx(messageHook_);
  active = nullptr;
}

LRESULT CALLBACK ListViewFaults::onCreate(int code, WPARAM wParam, LPARAM lParam) {
  // The window exists but has had no message yet: the list is made as
  // usual, only through this procedure.
  if (code == HCBT_CREATEWND && active) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (isListView(window)) {
      listProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListViewFaults::faultyList)));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ListViewFaults::afterMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && active && sent->message == WM_INITDIALOG && GetDlgItem(sent->hwnd, 1001)) {
    active->pageInitResult_ = sent->lResult;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ListViewFaults::faultyList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (active && active->fault_ && active->fault_->message == message) {
    if (active->answered_ == active->fault_->answeredFirst) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return active->fault_->failure;
    }
    ++active->answered_;
  }
  return CallWindowProcW(listProc, window, message, wParam, lParam);
}

}  // namespace shell_host
