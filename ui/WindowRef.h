#pragma once

namespace brix {

class Window;

// What Window::fromHandle hands out: an object and whether this reference
// owns it. An owning reference deletes its object when it is reset or goes
// out of scope; that is how the temporary wrapper of a control without an
// object of its own lives for exactly one call. Movable, not copyable, so
// there is never a second owner.
class WindowRef {
 public:
  WindowRef() noexcept = default;
  WindowRef(Window* window, bool owning) noexcept : window_(window), owning_(owning) {}
  WindowRef(WindowRef&& other) noexcept;
  WindowRef& operator=(WindowRef&& other) noexcept;
  WindowRef(const WindowRef&) = delete;
  WindowRef& operator=(const WindowRef&) = delete;
  ~WindowRef() { reset(); }

  Window* get() const noexcept { return window_; }
  Window* operator->() const noexcept { return window_; }
  explicit operator bool() const noexcept { return window_ != nullptr; }
  bool owning() const noexcept { return owning_; }

  // Deletes the object if owned; the reference is empty afterwards.
  void reset() noexcept;

 private:
  Window* window_ = nullptr;
  bool owning_ = false;
};

}  // namespace brix
