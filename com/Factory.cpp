#include "com/Factory.h"

#include <exception>
#include <new>

#include "base/HResultFromException.h"
#include "com/NullReference.h"

namespace brix {

Factory::Factory(CreatorFunction creator) noexcept : IUnknownImpl(nullptr), creator_(creator) {}

HRESULT STDMETHODCALLTYPE Factory::QueryInterface(REFIID iid, void** result) {
  return IUnknownImpl::QueryInterface(iid, result);
}

ULONG STDMETHODCALLTYPE Factory::AddRef() {
  return IUnknownImpl::AddRef();
}

ULONG STDMETHODCALLTYPE Factory::Release() {
  return IUnknownImpl::Release();
}

HRESULT STDMETHODCALLTYPE Factory::CreateInstance(IUnknown* outer, REFIID iid, void** result) {
  try {
    if (isNullReference(&iid) || !result) return E_POINTER;
    *result = nullptr;
    IUnknown* const object = creator_(outer);
    if (!object) throw std::bad_alloc();
    // The creator's reference goes either way: on E_NOINTERFACE the object goes with it.
    const HRESULT hr = object->QueryInterface(iid, result);
    object->Release();
    return hr;
  } catch (const std::exception& e) {
    return hresultFromException(e);
  }
}

HRESULT STDMETHODCALLTYPE Factory::LockServer(BOOL lock) {
  try {
    if (lock) {
      Module::current().lock();
    } else {
      Module::current().unlock();
    }
    return S_OK;
  } catch (const std::exception& e) {
    return hresultFromException(e);
  }
}

void* Factory::getInterface(REFIID iid) {
  if (IsEqualIID(iid, __uuidof(IClassFactory))) return static_cast<IClassFactory*>(this);
  return IUnknownImpl::getInterface(iid);
}

}  // namespace brix
