#pragma once
#include <boost/noncopyable.hpp>

#include "base/Win32.h"

namespace brix {

// Sole owner of one pop-up menu, built item by item and shown where the
// user asked for it.
class PopupMenu : private boost::noncopyable {
 public:
  // Throws WindowsError "Can't create menu".
  PopupMenu();
  ~PopupMenu();

  // Appends an item with text (UTF-8) that answers id when chosen, greyed
  // out unless enabled; throws WindowsError "Can't add menu item".
  void append(UINT id, const char* text, bool enabled);
  // Shows the menu for owner with its top-left corner at the screen point
  // and waits until the user chooses an item or dismisses the menu: the
  // id of the item chosen, or 0. Sends no WM_COMMAND.
  UINT track(HWND owner, int x, int y);

  HMENU handle() const noexcept { return menu_; }

 private:
  HMENU menu_;
};

}  // namespace brix
