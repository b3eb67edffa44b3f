#pragma once
#include <unknwn.h>

#include "com/IUnknownImpl.h"
#include "com/Module.h"

namespace brix {

// The class factory of one class of the class table. A new one is made for
// every DllGetClassObject; its IUnknown is its IUnknownImpl part, not its
// IClassFactory part.
class Factory : public IClassFactory, public IUnknownImpl {
 public:
  explicit Factory(CreatorFunction creator) noexcept;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // A new object for the outer unknown (passed on unchanged: aggregation is
  // not refused), handed out as iid.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override;
  // Moves the lock count of the current module; unlocking an unlocked server
  // gives E_UNEXPECTED.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 protected:
  void* getInterface(REFIID iid) override;

 private:
  CreatorFunction creator_;
};

}  // namespace brix
