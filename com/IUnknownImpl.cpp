#include "com/IUnknownImpl.h"

#include <exception>

#include "base/HResultFromException.h"
#include "com/NullReference.h"

namespace brix {

IUnknownImpl::IUnknownImpl(IUnknown* outer) noexcept : outer_(outer), refCount_(1) {}

IUnknownImpl::~IUnknownImpl() = default;

HRESULT STDMETHODCALLTYPE IUnknownImpl::QueryInterface(REFIID iid, void** result) {
  try {
    if (isNullReference(&iid) || !result) return E_POINTER;
    void* const found = getInterface(iid);
    if (!found) {
      *result = nullptr;
      return E_NOINTERFACE;
    }
    *result = found;
    AddRef();
    return S_OK;
  } catch (const std::exception& e) {
    return hresultFromException(e);
  }
}

ULONG STDMETHODCALLTYPE IUnknownImpl::AddRef() {
  return InterlockedIncrement(&refCount_);
}

ULONG STDMETHODCALLTYPE IUnknownImpl::Release() {
  const LONG count = InterlockedDecrement(&refCount_);
  if (count > 0) return count;
  // No reference is left, so nothing races with this. Back at 1, a Release
  // reached from the destructor cannot delete the object a second time.
  refCount_ = refCount_ + 1;
  delete this;
  return 0;
}

void* IUnknownImpl::getInterface(REFIID iid) {
  if (IsEqualIID(iid, __uuidof(IUnknown))) return static_cast<IUnknown*>(this);
  return nullptr;
}

}  // namespace brix
