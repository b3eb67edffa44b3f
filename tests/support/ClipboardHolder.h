#pragma once
#include <atomic>
#include <string>
#include <thread>

#include "base/Win32.h"

namespace testing_support {

// Another program's hold on the clipboard, as a clipboard manager or a
// remote desktop client takes it: a thread with a window of its own opens
// the clipboard and keeps it open until the object goes, or for at most
// holdMs. The constructor returns once the clipboard is held (or could not
// be opened: opened() tells).
class ClipboardHolder {
 public:
  explicit ClipboardHolder(DWORD holdMs);
  ~ClipboardHolder();
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;

  bool opened() const { return opened_; }
  // Whether the clipboard is still held: false once holdMs have passed.
  bool holding() const { return holding_; }

 private:
  std::atomic<bool> opened_{false}, holding_{false}, started_{false}, release_{false};
  std::thread thread_;
};

// The clipboard's CF_UNICODETEXT as UTF-8, line breaks as they are; "" when
// it holds no text. Throws std::runtime_error when it can't be opened.
std::string clipboardText();
// Puts the text on the clipboard as CF_UNICODETEXT, in place of what it
// held. Throws std::runtime_error when it can't.
void setClipboardText(const std::string& utf8);

}  // namespace testing_support
