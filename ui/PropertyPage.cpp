#include "ui/PropertyPage.h"

#include "base/ActivationScope.h"
#include "base/WindowsError.h"

namespace brix {
namespace {

PropertyPage* pageOf(const PROPSHEETPAGEW* description) {
  return description ? reinterpret_cast<PropertyPage*>(description->lParam) : nullptr;
}

HANDLE activationContextOf(const PropertyPage* page) {
  return page && (page->description().dwFlags & PSP_USEFUSIONCONTEXT) ? page->description().hActCtx : nullptr;
}

}  // namespace

PropertyPage::PropertyPage(WORD templateId, HINSTANCE module, HANDLE activationContext) noexcept : description_() {
  // The size with the activation-context member, without which the sheet
  // would not read the context.
  description_.dwSize = sizeof(PROPSHEETPAGEW_V3);
  description_.dwFlags = PSP_USECALLBACK;
  description_.hInstance = module;
  description_.pszTemplate = MAKEINTRESOURCEW(templateId);
  description_.pfnDlgProc = pageDialogProc;
  description_.lParam = reinterpret_cast<LPARAM>(this);
  description_.pfnCallback = pageCallback;
  if (activationContext) {
    description_.dwFlags |= PSP_USEFUSIONCONTEXT;
    description_.hActCtx = activationContext;
  }
}

PropertyPage::~PropertyPage() {
  if (!page_) return;
  // Runs the callback with PSPCB_RELEASE, whose onRelease is already this
  // class's own and clears page_.
  DestroyPropertySheetPage(page_);
  page_ = nullptr;
}

void PropertyPage::onRelease() {
  page_ = nullptr;
}

HPROPSHEETPAGE PropertyPage::create() {
  if (page_) return page_;
  const HPROPSHEETPAGE page = CreatePropertySheetPageW(&description_);
  if (!page) throw WindowsError("Can't create property page");
  page_ = page;
  return page_;
}

INT_PTR CALLBACK PropertyPage::pageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    PropertyPage* const page = message == WM_INITDIALOG ? pageOf(reinterpret_cast<const PROPSHEETPAGEW*>(lParam))
                                                        : dynamic_cast<PropertyPage*>(fromHandle(window, false).get());
    // The page's own work on its controls uses the versions it was made
    // with, whatever the host has active.
    const ActivationScope scope(activationContextOf(page));
    if (message == WM_INITDIALOG) return initDialog(page, window, wParam);
    return dialogProc(window, message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}

UINT CALLBACK PropertyPage::pageCallback(HWND, UINT message, PROPSHEETPAGEW* description) {
  switch (message) {
    case PSPCB_RELEASE: {
      // The page may delete itself, and its own count with it, while code of
      // the module still runs for it: the module stays counted until this
      // has finished.
      const LiveObject releasing;
      try {
        PropertyPage* page = pageOf(description);
        const ActivationScope scope(activationContextOf(page));
        if (page) page->onRelease();
      } catch (...) {
        // Nothing may cross into the property sheet's code.
      }
      return 0;
    }
    case PSPCB_CREATE: return 1;
    default: return 0;
  }
}

}  // namespace brix
