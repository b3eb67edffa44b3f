#pragma once
// The classes of the test server, built on the framework as a product class is.
#include <objbase.h>

#include "base/WindowsError.h"
#include "com/CreateInstanceImpl.h"
#include "com/IUnknownImpl.h"
#include "tests/com/TestInterfaces.h"

namespace testing_com {

class TestObject : public brix::IUnknownImpl,
                   public IPersist,
                   public ITestCounter,
                   public brix::CreateInstanceImpl<TestObject> {
 public:
  explicit TestObject(IUnknown* outer) : IUnknownImpl(outer) {}

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
    if (!clsid) return E_POINTER;
    *clsid = clsidTestObject;
    return S_OK;
  }
  LONG STDMETHODCALLTYPE next() override { return InterlockedIncrement(&counter_); }

 protected:
  void* getInterface(REFIID iid) override {
    if (IsEqualIID(iid, __uuidof(IPersist))) return static_cast<IPersist*>(this);
    if (IsEqualIID(iid, __uuidof(ITestCounter))) return static_cast<ITestCounter*>(this);
    return IUnknownImpl::getInterface(iid);
  }

 private:
  volatile LONG counter_ = 0;
};

class RefusingObject : public brix::IUnknownImpl, public brix::CreateInstanceImpl<RefusingObject> {
 public:
  explicit RefusingObject(IUnknown* outer) : IUnknownImpl(outer) {
    throw brix::WindowsError(ERROR_ACCESS_DENIED, "Refused");
  }
};

}  // namespace testing_com
