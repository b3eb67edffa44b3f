#pragma once
#include <boost/noncopyable.hpp>
#include <string_view>

#include "base/Win32.h"

namespace brix {

// The clipboard, held open by this object for owner and closed by its
// destructor.
class Clipboard : private boost::noncopyable {
 public:
  // Another program may hold the clipboard open for a moment (a clipboard
  // manager reading what was just put there), so opening is tried a few
  // times over about a third of a second; then it throws WindowsError
  // "Can't open clipboard". Nobody waits longer than that for a copy.
  explicit Clipboard(HWND owner);
  ~Clipboard();

  // Replaces what the clipboard holds with text (UTF-8) as CF_UNICODETEXT,
  // its line breaks as Windows programs expect them (CR LF). Throws
  // WindowsError "Can't empty clipboard", "Can't allocate clipboard memory"
  // or "Can't set clipboard data"; what the clipboard held may be gone then.
  void setText(std::string_view utf8);
};

}  // namespace brix
