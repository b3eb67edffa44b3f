#include "base/WindowsHandle.h"

#include <exception>

#include "base/WindowsError.h"

namespace brix {

WindowsHandle::~WindowsHandle() {
  try {
    close();
  } catch (const std::exception&) {
    // A destructor must not throw; there is nobody to tell.
  }
}

void WindowsHandle::setHandle(HANDLE h) {
  close();
  handle_ = h;
}

void WindowsHandle::close() {
  if (!isHeld()) return;
  if (!CloseHandle(handle_)) throw WindowsError("Error while closing handle");
  handle_ = INVALID_HANDLE_VALUE;
}

}  // namespace brix
