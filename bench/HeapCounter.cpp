#include "bench/HeapCounter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

// Every block carries its size in a header of one maximal alignment unit, so
// the unsized delete can count what it frees.
namespace {

constexpr std::size_t headerBytes = alignof(std::max_align_t);

std::atomic<std::uint64_t> allocationCount{0};
std::atomic<std::uint64_t> allocatedBytes{0};
std::atomic<std::uint64_t> inUseBytes{0};
std::atomic<std::uint64_t> peakBytes{0};

void* allocate(std::size_t size) noexcept {
  void* block = std::malloc(size + headerBytes);
  if (block == nullptr) return nullptr;
  *static_cast<std::size_t*>(block) = size;
  allocationCount.fetch_add(1, std::memory_order_relaxed);
  allocatedBytes.fetch_add(size, std::memory_order_relaxed);
  const std::uint64_t now = inUseBytes.fetch_add(size, std::memory_order_relaxed) + size;
  std::uint64_t peak = peakBytes.load(std::memory_order_relaxed);
  while (now > peak && !peakBytes.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
  }
  return static_cast<char*>(block) + headerBytes;
}

void release(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - headerBytes;
  inUseBytes.fetch_sub(*static_cast<std::size_t*>(block), std::memory_order_relaxed);
  std::free(block);
}

void* allocateOrThrow(std::size_t size) {
  void* pointer = allocate(size);
  if (pointer == nullptr) throw std::bad_alloc();
  return pointer;
}

}  // namespace

std::uint64_t HeapCounter::allocations() {
  return allocationCount.load(std::memory_order_relaxed);
}
std::uint64_t HeapCounter::bytesAllocated() {
  return allocatedBytes.load(std::memory_order_relaxed);
}
std::uint64_t HeapCounter::bytesInUse() {
  return inUseBytes.load(std::memory_order_relaxed);
}
std::uint64_t HeapCounter::peakBytesInUse() {
  return peakBytes.load(std::memory_order_relaxed);
}
void HeapCounter::resetPeak() {
  peakBytes.store(inUseBytes.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
  return allocateOrThrow(size);
}
void* operator new[](std::size_t size) {
  return allocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size);
}
void operator delete(void* pointer) noexcept {
  release(pointer);
}
void operator delete[](void* pointer) noexcept {
  release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
  release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
  release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
  release(pointer);
}
