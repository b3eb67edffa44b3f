#include "ui/WindowRef.h"

#include "ui/Window.h"

namespace brix {

WindowRef::WindowRef(WindowRef&& other) noexcept : window_(other.window_), owning_(other.owning_) {
  other.window_ = nullptr;
  other.owning_ = false;
}

WindowRef& WindowRef::operator=(WindowRef&& other) noexcept {
  if (this != &other) {
    reset();
    window_ = other.window_;
    owning_ = other.owning_;
    other.window_ = nullptr;
    other.owning_ = false;
  }
  return *this;
}

void WindowRef::reset() noexcept {
  if (owning_) delete window_;
  window_ = nullptr;
  owning_ = false;
}

}  // namespace brix
