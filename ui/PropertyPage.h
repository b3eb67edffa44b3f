#pragma once
#include "base/LiveObject.h"
#include "ui/CommonControls.h"
#include "ui/Dialog.h"

namespace brix {

// One property-sheet page: its description (filled by the constructor and
// kept for the object's whole life), its page handle, its dialog procedure
// and its page callback. The page is a Unicode window, so that its controls
// notify it in UTF-16 whatever the sheet around it is.
//
// Stages: constructed; create made the page handle, which is handed to a
// property sheet; when the sheet first shows the page, WM_INITDIALOG binds
// the object to the page's dialog; the dialog is destroyed (onDestroy,
// onNcDestroy); the sheet releases the page, which runs onRelease. A derived
// page may delete itself in onRelease.
//
// A page counts among the module's live objects from its construction until
// its release has returned, after every destructor of a page that deleted
// itself there: until then code of the module still runs for it.
class PropertyPage : public Dialog {
 public:
  // A page on dialog template templateId of module. With an activation
  // context, the sheet makes the page's dialog and controls in it, and the
  // page's messages and release run in it; the context must outlive the
  // page.
  PropertyPage(WORD templateId, HINSTANCE module, HANDLE activationContext = nullptr) noexcept;
  // A page handle still held is destroyed first; the release that this
  // triggers reaches this class's onRelease only, never a derived one.
  ~PropertyPage() override;
  // Run when the property sheet releases the page: forgets the page handle,
  // which the sheet destroys itself.
  virtual void onRelease();

  // The page handle, made on the first call with CreatePropertySheetPageW;
  // throws WindowsError "Can't create property page" and then holds none,
  // so a later call tries again.
  HPROPSHEETPAGE create();

  HPROPSHEETPAGE pageHandle() const noexcept { return page_; }
  const PROPSHEETPAGEW& description() const noexcept { return description_; }

  // The page's dialog procedure: WM_INITDIALOG takes the object from the
  // page description it carries, everything else goes to dialogProc.
  static INT_PTR CALLBACK pageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The page callback: PSPCB_RELEASE runs onRelease of the page in the
  // description's lParam, PSPCB_CREATE allows the dialog (1); every other
  // code answers 0. Nothing thrown by onRelease leaves it.
  static UINT CALLBACK pageCallback(HWND window, UINT message, PROPSHEETPAGEW* page);

 protected:
  // For a derived page that needs more of the description (a title, an
  // icon) before create.
  PROPSHEETPAGEW& mutableDescription() noexcept { return description_; }

 private:
  PROPSHEETPAGEW description_;
  HPROPSHEETPAGE page_ = nullptr;
  LiveObject liveObject_;
};

}  // namespace brix
