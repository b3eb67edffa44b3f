#pragma once
#include <cstdint>

// Heap use of the whole process, as seen by the global operator new and
// delete that HeapCounter.cpp replaces. Linking that file into a program is
// what turns the counting on.
class HeapCounter {
 public:
  // Since the program started.
  static std::uint64_t allocations();
  static std::uint64_t bytesAllocated();
  // Bytes allocated and not yet freed, and the most there were since the
  // last resetPeak().
  static std::uint64_t bytesInUse();
  static std::uint64_t peakBytesInUse();
  static void resetPeak();
};
