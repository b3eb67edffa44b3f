#pragma once
#include <shlobj.h>

#include <string>
#include <vector>

#include "com/CreateInstanceImpl.h"
#include "com/IShellExtInitImpl.h"
#include "com/IUnknownImpl.h"

// The one class of the DLL: given the selection of a Properties dialog, it
// keeps the path of the one ".avi" file in it and adds the "AVI" page for
// that file. It reads no file itself.
class AVIPropertySheetExtension : public brix::IUnknownImpl,
                                  public IShellPropSheetExt,
                                  public brix::IShellExtInitImpl,
                                  public brix::CreateInstanceImpl<AVIPropertySheetExtension> {
 public:
  explicit AVIPropertySheetExtension(IUnknown* outer);

  // Adds a new page for the file Initialize kept; none when it kept none.
  HRESULT STDMETHODCALLTYPE AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM parameter) override;
  HRESULT STDMETHODCALLTYPE ReplacePage(EXPPS pageId, LPFNSVADDPROPSHEETPAGE replacePage, LPARAM parameter) override;

  const std::string& fileName() const noexcept { return fileName_; }

 protected:
  // Keeps the one name ending in ".avi" (ASCII letters in any case) of this
  // selection, whatever an earlier one kept; none, or two or more such
  // names, leave none.
  void acceptFiles(const std::vector<std::string>& names) override;
  void* getInterface(REFIID iid) override;

 private:
  std::string fileName_;
};
