#include "ui/PopupMenu.h"

#include "base/Unicode.h"
#include "base/WindowsError.h"

namespace brix {

PopupMenu::PopupMenu() : menu_(CreatePopupMenu()) {
  if (!menu_) throw WindowsError("Can't create menu");
}

PopupMenu::~PopupMenu() {
  DestroyMenu(menu_);
}

void PopupMenu::append(UINT id, const char* text, bool enabled) {
  const UINT flags = MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED);
  if (!AppendMenuW(menu_, flags, id, toWide(text).c_str())) throw WindowsError("Can't add menu item");
}

UINT PopupMenu::track(HWND owner, int x, int y) {
  // The choice comes back as the result, not as a command to the owner: the
  // caller acts on it at once, while everything it asked about still holds.
  return static_cast<UINT>(TrackPopupMenuEx(
      menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, owner, nullptr));
}

}  // namespace brix
