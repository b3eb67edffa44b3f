#pragma once
#include <unknwn.h>

#include "com/IUnknownImpl.h"

namespace brix {

// The class that is actually instantiated for an implementation class T.
// T derives from IUnknownImpl and from further COM interfaces whose IUnknown
// operations it leaves abstract; these final overriders serve all of them at
// once, so that every interface of the object shares one reference count and
// one getInterface. Adds no data.
template <class T>
class IUnknownInstance final : public T {
 public:
  explicit IUnknownInstance(IUnknown* outer) : T(outer) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    return IUnknownImpl::QueryInterface(iid, result);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return IUnknownImpl::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return IUnknownImpl::Release(); }
};

}  // namespace brix
