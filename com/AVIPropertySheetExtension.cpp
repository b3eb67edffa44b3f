#include "com/AVIPropertySheetExtension.h"

#include <exception>
#include <memory>
#include <new>

#include "base/ActivationContext.h"
#include "base/ActivationScope.h"
#include "base/HResultFromException.h"
#include "page/AVITreePropertyPage.h"
#include "page/InspectedFile.h"

AVIPropertySheetExtension::AVIPropertySheetExtension(IUnknown* outer) : IUnknownImpl(outer) {}

void AVIPropertySheetExtension::acceptFiles(const std::vector<std::string>& names) {
  // Each selection stands on its own: a host may initialise the extension
  // again, with the same selection or another.
  const std::string* chosen = nullptr;
  for (const std::string& name : names) {
    if (!hasAviExtension(name)) continue;
    // A second one means the page can't choose.
    if (chosen) {
      fileName_.clear();
      return;
    }
    chosen = &name;
  }
  if (chosen) {
    fileName_ = *chosen;
  } else {
    fileName_.clear();
  }
}

HRESULT STDMETHODCALLTYPE AVIPropertySheetExtension::AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM parameter) {
  if (!addPage) return E_POINTER;
  if (fileName_.empty()) return S_OK;
  try {
    // Owned here until the sheet has its handle, so a failing creation
    // leaves nothing behind.
    std::unique_ptr<AVITreePropertyPage> page(new (std::nothrow) AVITreePropertyPage(fileName_));
    if (!page) throw std::bad_alloc();
    // The handle is made by the module's own common controls, whatever the
    // host has active.
    const brix::ActivationScope scope(brix::ActivationContext::ofModule().handle());
    const HPROPSHEETPAGE handle = page->create();
    // From here on the page owns itself and goes with its release.
    page.release();
    // A sheet that refuses the page never releases it: destroying the
    // handle runs the release the sheet would have run.
    if (!addPage(handle, parameter)) DestroyPropertySheetPage(handle);
    return S_OK;
  } catch (const std::exception& e) {
    return brix::hresultFromException(e);
  }
}

HRESULT STDMETHODCALLTYPE AVIPropertySheetExtension::ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM) {
  return E_NOTIMPL;
}

void* AVIPropertySheetExtension::getInterface(REFIID iid) {
  if (IsEqualIID(iid, __uuidof(IShellExtInit))) return static_cast<IShellExtInit*>(this);
  if (IsEqualIID(iid, __uuidof(IShellPropSheetExt))) return static_cast<IShellPropSheetExt*>(this);
  return IUnknownImpl::getInterface(iid);
}
