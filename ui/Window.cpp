#include "ui/Window.h"

#include <windowsx.h>

#include "base/Unicode.h"
#include "base/WindowsError.h"
#include "ui/WindowRegistry.h"

namespace brix {
namespace {

// The screen's device context, for as long as it is asked something.
struct ScreenDC {
  ScreenDC() noexcept : handle(GetDC(nullptr)) {}
  ~ScreenDC() {
    if (handle) ReleaseDC(nullptr, handle);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC handle;
};

// The end of the range of messages an application defines for itself.
constexpr UINT lastAppMessage = 0xBFFF;

}  // namespace

LRESULT Window::defaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (previousProc_) return CallWindowProcW(previousProc_, handle_, message, wParam, lParam);
  return DefWindowProcW(handle_, message, wParam, lParam);
}

void Window::onCommand(Window* control, WORD code, WORD id) {
  defaultProc(WM_COMMAND, MAKEWPARAM(id, code), control ? reinterpret_cast<LPARAM>(control->handle()) : 0);
}

void Window::onHScroll(Window* scrollBar, WORD code, WORD position) {
  defaultProc(WM_HSCROLL, MAKEWPARAM(code, position), scrollBar ? reinterpret_cast<LPARAM>(scrollBar->handle()) : 0);
}

void Window::onVScroll(Window* scrollBar, WORD code, WORD position) {
  defaultProc(WM_VSCROLL, MAKEWPARAM(code, position), scrollBar ? reinterpret_cast<LPARAM>(scrollBar->handle()) : 0);
}

void Window::onDestroy() {
  defaultProc(WM_DESTROY, 0, 0);
}

LRESULT Window::onNotify(NMHDR* header) {
  if (header->code == LVN_ITEMCHANGED) {
    onItemChanged(reinterpret_cast<NMLISTVIEW*>(header));
    return 0;
  }
  return defaultProc(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

void Window::onItemChanged(NMLISTVIEW* change) {
  defaultProc(WM_NOTIFY, change->hdr.idFrom, reinterpret_cast<LPARAM>(change));
}

void Window::onNcDestroy() {
  defaultProc(WM_NCDESTROY, 0, 0);
  if (!handle_) return;
  if (previousProc_) {
    SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    previousProc_ = nullptr;
  }
  WindowRegistry::instance().remove(handle_);
  handle_ = nullptr;
  ownsWindow_ = false;
}

void Window::onContextMenu(Window* window, int x, int y) {
  defaultProc(WM_CONTEXTMENU, window ? reinterpret_cast<WPARAM>(window->handle()) : 0,
              MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

LRESULT Window::onAppMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return defaultProc(message, wParam, lParam);
}

Window::~Window() {
  try {
    destroyWindow();
  } catch (...) {
    // A destructor must not throw; the window outlives its object then.
  }
  WindowRegistry::instance().removeObject(this);
}

void Window::attach(HWND handle, bool ownsWindow) {
  if (handle) {
    WindowRegistry::instance().set(handle, this);
  } else if (handle_) {
    WindowRegistry::instance().remove(handle_);
  }
  handle_ = handle;
  ownsWindow_ = ownsWindow;
}

void Window::attachDlgItem(const Window& parent, int id) {
  const HWND item = GetDlgItem(parent.handle(), id);
  if (!item) throw WindowsError("Can't get dialog item for attaching");
  WindowRegistry::instance().set(item, this);
  handle_ = item;
  ownsWindow_ = false;
}

WindowRef Window::fromHandle(HWND handle, bool create) {
  if (!handle) return WindowRef();
  if (Window* window = WindowRegistry::instance().find(handle)) return WindowRef(window, false);
  if (!create) return WindowRef();
  return WindowRef(new Window(handle), true);
}

LRESULT Window::sendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(handle_, message, wParam, lParam);
}

void Window::setDlgItemText(int id, const char* text) {
  if (!SetDlgItemTextW(handle_, id, toWide(text).c_str())) throw WindowsError("Can't set dialog item text");
}

void Window::setWindowText(const char* text) {
  if (!SetWindowTextW(handle_, toWide(text).c_str())) throw WindowsError("Can't set window text");
}

void Window::addStyle(DWORD styles) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_STYLE));
  // Zero is also a style a window may have had: only the error code tells.
  SetLastError(ERROR_SUCCESS);
  if (!SetWindowLongPtrW(handle_, GWL_STYLE, static_cast<LONG_PTR>(style | styles)) &&
      GetLastError() != ERROR_SUCCESS) {
    throw WindowsError("Can't set window style");
  }
}

void Window::setRedraw(bool redraw) {
  sendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
}

void Window::redraw() {
  if (!RedrawWindow(handle_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN)) {
    throw WindowsError("Can't redraw window");
  }
}

int Window::dpi() const {
  // Per window from Windows 10 (1607) on; looked up here, since the DLL must
  // load on systems without it.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(handle_)) return static_cast<int>(dpi);
  }
  const ScreenDC screen;
  const int dpi = screen.handle ? GetDeviceCaps(screen.handle, LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

LRESULT Window::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const WindowRef control = fromHandle(reinterpret_cast<HWND>(lParam), true);
      onCommand(control.get(), HIWORD(wParam), LOWORD(wParam));
      return 0;
    }
    case WM_HSCROLL: {
      const WindowRef scrollBar = fromHandle(reinterpret_cast<HWND>(lParam), true);
      onHScroll(scrollBar.get(), LOWORD(wParam), HIWORD(wParam));
      return 0;
    }
    case WM_VSCROLL: {
      const WindowRef scrollBar = fromHandle(reinterpret_cast<HWND>(lParam), true);
      onVScroll(scrollBar.get(), LOWORD(wParam), HIWORD(wParam));
      return 0;
    }
    case WM_NOTIFY:
      // A notification without its header names nothing to act on; reading
      // through the null pointer would take the whole host down.
      if (!lParam) return defaultProc(message, wParam, lParam);
      return onNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CONTEXTMENU: {
      const WindowRef window = fromHandle(reinterpret_cast<HWND>(wParam), true);
      onContextMenu(window.get(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    }
    case WM_DESTROY: onDestroy(); return 0;
    case WM_NCDESTROY: onNcDestroy(); return 0;
    default:
      if (message >= WM_APP && message <= lastAppMessage) return onAppMessage(message, wParam, lParam);
      return defaultProc(message, wParam, lParam);
  }
}

void Window::destroyWindow() {
  if (!ownsWindow_ || !handle_) return;
  if (!DestroyWindow(handle_)) throw WindowsError("Can't destroy window");
  // A dialog's WM_NCDESTROY has unbound the object already; any other
  // window's destruction is not seen here.
  if (handle_) WindowRegistry::instance().remove(handle_);
  handle_ = nullptr;
  ownsWindow_ = false;
}

}  // namespace brix
