#include "tests/ui/DeleteWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<const void*> watched{nullptr};
std::atomic<bool> deleted{false};

}  // namespace

namespace ui_testing {

void watchDeletion(const void* object) {
  deleted = false;
  watched = object;
}

bool watchedWasDeleted() {
  return deleted;
}

}  // namespace ui_testing

// Replacements of the global allocation functions, a pair that stays
// consistent whatever the runtime's own ones use.
void* operator new(std::size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
  if (block && block == watched.load()) deleted = true;
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  ::operator delete(block);
}
