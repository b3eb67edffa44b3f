#include "com/Module.h"

#include <exception>
#include <new>

#include "base/COMError.h"
#include "base/HResultFromException.h"
#include "com/Factory.h"
#include "com/IUnknownImpl.h"
#include "com/NullReference.h"

namespace brix {

namespace {
Module* currentModule = nullptr;
}  // namespace

Module::Module(const ClassEntry* table, std::uint32_t count) noexcept : table_(table), count_(count) {
  currentModule = this;
}

Module::~Module() {
  if (currentModule == this) currentModule = nullptr;
}

Module& Module::current() {
  if (!currentModule) throw COMError(E_UNEXPECTED);
  return *currentModule;
}

HRESULT Module::getClassObject(REFCLSID clsid, REFIID iid, void** result) {
  try {
    if (isNullReference(&clsid) || isNullReference(&iid) || !result) return E_POINTER;
    const ClassEntry* entry = table_;
    const ClassEntry* const end = table_ + count_;
    while (entry != end && !IsEqualCLSID(*entry->clsid, clsid)) ++entry;
    if (entry == end) return CLASS_E_CLASSNOTAVAILABLE;
    *result = nullptr;
    Factory* const factory = new (std::nothrow) Factory(entry->creator);
    if (!factory) throw std::bad_alloc();
    const HRESULT hr = factory->QueryInterface(iid, result);
    factory->Release();
    return hr;
  } catch (const std::exception& e) {
    return hresultFromException(e);
  }
}

HRESULT Module::canUnloadNow() const noexcept {
  return liveObjectCount() != 0 || lockCount_ > 0 ? S_FALSE : S_OK;
}

void Module::lock() noexcept {
  InterlockedIncrement(&lockCount_);
}

void Module::unlock() {
  // The test and the decrement are one step: two threads that unlock the last
  // lock at once must not both succeed and take the count below 0.
  for (;;) {
    const LONG count = lockCount_;
    if (count <= 0) throw COMError(E_UNEXPECTED);
    if (InterlockedCompareExchange(&lockCount_, count - 1, count) == count) return;
  }
}

}  // namespace brix
