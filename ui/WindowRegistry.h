#pragma once
#include <cstddef>
#include <map>
#include <mutex>

#include "base/Win32.h"

namespace brix {

class Window;

// The process-wide map from window handle to the object bound to it, at most
// one object per handle. It never owns the objects it points to.
//
// The shell may run the Properties dialogs of several files on several
// threads at once, and every dialog of this framework registers its objects
// here, so each operation takes a lock. The lock is held only inside these
// operations, never while a handler runs, so a handler may bind and unbind
// objects freely.
class WindowRegistry {
 public:
  static WindowRegistry& instance();

  // The object bound to handle, or null.
  Window* find(HWND handle) const;
  // Binds handle to window, replacing any object bound to it before.
  void set(HWND handle, Window* window);
  // Removes the entry of handle, whatever object it points to.
  void remove(HWND handle) noexcept;
  // Removes every entry that points to window: an object that goes away
  // must leave no entry behind, also one under a handle it was bound to
  // before a later attach.
  void removeObject(const Window* window) noexcept;
  std::size_t size() const;

 private:
  WindowRegistry() = default;

  mutable std::mutex mutex_;
  std::map<HWND, Window*> entries_;
};

}  // namespace brix
