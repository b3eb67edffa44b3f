#include "ui/PropertyPage.h"

#include "base/WindowsError.h"

namespace brix {

PropertyPage::PropertyPage(WORD templateId, HINSTANCE module) noexcept : description_() {
  // The size without the activation-context member, as the platform being
  // built defines it, so that every comctl32 version takes the description.
  description_.dwSize = PROPSHEETPAGEW_V2_SIZE;
  description_.dwFlags = PSP_USECALLBACK;
  description_.hInstance = module;
  description_.pszTemplate = MAKEINTRESOURCEW(templateId);
  description_.pfnDlgProc = pageDialogProc;
  description_.lParam = reinterpret_cast<LPARAM>(this);
  description_.pfnCallback = pageCallback;
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
  if (message != WM_INITDIALOG) return dialogProc(window, message, wParam, lParam);
  const auto* description = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
  return initDialog(description ? reinterpret_cast<PropertyPage*>(description->lParam) : nullptr, window, wParam);
}

UINT CALLBACK PropertyPage::pageCallback(HWND, UINT message, PROPSHEETPAGEW* page) {
  switch (message) {
    case PSPCB_RELEASE: {
      // The page may delete itself, and its own count with it, while code of
      // the module still runs for it: the module stays counted until this
      // has finished.
      const LiveObject releasing;
      try {
        if (page && page->lParam) reinterpret_cast<PropertyPage*>(page->lParam)->onRelease();
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
