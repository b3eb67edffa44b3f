#pragma once

namespace ui_testing {

// Watches one address: tells whether the object there has been deleted
// since watch() was called. The test executable replaces the global
// operator delete for this, so a temporary that leaks is seen.
void watchDeletion(const void* object);
bool watchedWasDeleted();

}  // namespace ui_testing
