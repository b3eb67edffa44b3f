// A DLL built on the framework with a class table of its own, driven by the
// server tests through its exports as the shell drives a product DLL. A few
// more exports let the tests look inside and make an allocation fail.
#include <cstdlib>
#include <iterator>
#include <new>

#include "base/ModuleHandle.h"
#include "com/DllModule.h"
#include "tests/com/TestClasses.h"

namespace {

const brix::ClassEntry classTable[] = {
    {&testing_com::clsidTestObject, L"Test object", &brix::CreateInstanceImpl<testing_com::TestObject>::createInstance},
    {&testing_com::clsidRefusingObject, L"Refusing object",
     &brix::CreateInstanceImpl<testing_com::RefusingObject>::createInstance},
};

volatile LONG failNextAllocation = 0;

bool failThisAllocation() noexcept {
  return InterlockedExchange(&failNextAllocation, 0) != 0;
}

}  // namespace

brix::Module brix::dllModule(classTable, std::size(classTable));

extern "C" LONG WINAPI TestLiveObjectCount() {
  return brix::liveObjectCount();
}
extern "C" LONG WINAPI TestLockCount() {
  return brix::dllModule.lockCount();
}
extern "C" HINSTANCE WINAPI TestModuleHandle() {
  return brix::moduleHandle();
}
extern "C" void WINAPI TestFailNextAllocation() {
  failNextAllocation = 1;
}

// The DLL's own operator new, so that the next allocation can be made to
// fail. It takes memory where the library's own does, so the library's
// operator delete gives it back.
void* operator new(std::size_t size) {
  void* const memory = failThisAllocation() ? nullptr : std::malloc(size ? size : 1);
  if (!memory) throw std::bad_alloc();
  return memory;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return failThisAllocation() ? nullptr : std::malloc(size ? size : 1);
}
