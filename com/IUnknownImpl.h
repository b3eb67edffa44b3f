#pragma once
#include <unknwn.h>

#include "base/LiveObject.h"

namespace brix {

// The reference-counted root of every COM object of the framework, factories
// included. An object starts with one reference, owned by its maker, and
// deletes itself in the Release that brings the count to 0. It counts among
// the module's live objects for its whole life.
class IUnknownImpl : public IUnknown {
 public:
  // outer is kept but never used: no call is delegated to it.
  explicit IUnknownImpl(IUnknown* outer) noexcept;
  IUnknownImpl(const IUnknownImpl&) = delete;
  IUnknownImpl& operator=(const IUnknownImpl&) = delete;

  // The pointer for iid from getInterface, with a reference added; a null
  // iid or result pointer gives E_POINTER, an interface not offered
  // E_NOINTERFACE and a null *result.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  virtual ~IUnknownImpl();

 protected:
  // This object's pointer for iid, or null. A derived class answers its own
  // interfaces first and falls back to its base; this one answers only
  // IUnknown, with its own part.
  virtual void* getInterface(REFIID iid);

 private:
  IUnknown* outer_;
  volatile LONG refCount_;
  LiveObject liveObject_;
};

}  // namespace brix
