#include "com/IShellExtInitImpl.h"

#include <exception>

#include "base/HResultFromException.h"
#include "base/Unicode.h"

namespace brix {
namespace {

// The medium GetData filled, released however the reading ends.
class StorageMedium {
 public:
  StorageMedium() noexcept : medium_() {}
  ~StorageMedium() { ReleaseStgMedium(&medium_); }
  StorageMedium(const StorageMedium&) = delete;
  StorageMedium& operator=(const StorageMedium&) = delete;

  STGMEDIUM* get() noexcept { return &medium_; }

 private:
  STGMEDIUM medium_;
};

// The names in UTF-8, taken as UTF-16 so that a name in any script arrives
// whole (an unpaired surrogate becomes U+FFFD, and that name then fails to
// open with a clear message).
std::vector<std::string> namesOf(HDROP drop) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> names;
  names.reserve(count);
  for (UINT index = 0; index < count; ++index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = DragQueryFileW(drop, index, &buffer[0], length + 1);
    // Never more than the buffer holds, whatever the second call says.
    buffer.resize(copied < length ? copied : length);
    names.push_back(fromWide(buffer));
  }
  return names;
}

}  // namespace

HRESULT STDMETHODCALLTYPE IShellExtInitImpl::Initialize(LPCITEMIDLIST, IDataObject* data, HKEY programKey) {
  if (!data) return E_POINTER;
  if (!programKey) return E_INVALIDARG;
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  StorageMedium medium;
  const HRESULT hr = data->GetData(&format, medium.get());
  if (FAILED(hr)) return hr;
  HRESULT result = hr;
  std::vector<std::string> names;
  try {
    names = namesOf(static_cast<HDROP>(medium.get()->hGlobal));
  } catch (const std::exception& e) {
    // The selection that could not be read is taken as empty, not as the
    // one before it.
    result = hresultFromException(e);
  }
  try {
    acceptFiles(names);
  } catch (const std::exception& e) {
    return hresultFromException(e);
  }
  return result;
}

}  // namespace brix
