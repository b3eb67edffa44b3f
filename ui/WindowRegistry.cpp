#include "ui/WindowRegistry.h"

#include <iterator>

namespace brix {

WindowRegistry& WindowRegistry::instance() {
  // Built on first use, so no object bound during another static
  // initialiser can find it missing; emptied when the module goes.
  static WindowRegistry registry;
  return registry;
}

Window* WindowRegistry::find(HWND handle) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto entry = entries_.find(handle);
  return entry == entries_.end() ? nullptr : entry->second;
}

void WindowRegistry::set(HWND handle, Window* window) {
  const std::lock_guard<std::mutex> lock(mutex_);
  entries_[handle] = window;
}

void WindowRegistry::remove(HWND handle) noexcept {
  // A std::mutex of this toolchain does not fail to lock a mutex the thread
  // does not hold; the try keeps the promise should it ever do so.
  try {
    const std::lock_guard<std::mutex> lock(mutex_);
    entries_.erase(handle);
  } catch (...) {
  }
}

void WindowRegistry::removeObject(const Window* window) noexcept {
  // A scan: the map holds one entry per bound object of the process, a
  // handful at most.
  try {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (auto entry = entries_.begin(); entry != entries_.end();) {
      entry = entry->second == window ? entries_.erase(entry) : std::next(entry);
    }
  } catch (...) {
  }
}

std::size_t WindowRegistry::size() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

}  // namespace brix
