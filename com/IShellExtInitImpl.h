#pragma once
#include <shlobj.h>

#include <string>
#include <vector>

namespace brix {

// The shell's initialisation of an extension: turns the data object of the
// selection into the list of file names it carries and hands that list to
// acceptFiles. QueryInterface, AddRef and Release stay abstract; the
// instantiated class (IUnknownInstance) supplies them.
class IShellExtInitImpl : public IShellExtInit {
 public:
  // The folder id list is not used; a null data object gives E_POINTER, a
  // null program-id key E_INVALIDARG. Without CF_HDROP data the data
  // object's own failure is returned and nothing else happens. Callable
  // again: each call with CF_HDROP data hands its own names to acceptFiles,
  // none when they can't be read.
  HRESULT STDMETHODCALLTYPE Initialize(LPCITEMIDLIST folder, IDataObject* data, HKEY programKey) override;

 protected:
  // The selected names in UTF-8, in selection order (also when there are
  // none), replacing those of any earlier call.
  virtual void acceptFiles(const std::vector<std::string>& names) = 0;
};

}  // namespace brix
