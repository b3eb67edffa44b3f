#pragma once
#include <boost/noncopyable.hpp>

#include "base/Win32.h"

namespace brix {

// Sole owner of one kernel object handle. Holds INVALID_HANDLE_VALUE when
// empty; null counts as empty too.
class WindowsHandle : private boost::noncopyable {
 public:
  WindowsHandle() = default;
  // Closes a held handle; a failure to close is dropped.
  virtual ~WindowsHandle();

  HANDLE handle() const noexcept { return handle_; }
  bool isHeld() const noexcept { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Closes what is held, then holds h.
  void setHandle(HANDLE h);
  // CloseHandle on a held handle; on failure throws WindowsError "Error while
  // closing handle" and the handle stays recorded.
  void close();

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace brix
