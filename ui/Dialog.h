#pragma once
#include <cstddef>
#include <vector>

#include "ui/Window.h"

namespace brix {

// A dialog window's object. Dialog::dialogProc is the dialog procedure of
// every dialog bound to one: WM_INITDIALOG binds the object and runs
// onInitDialog; every later message is dispatched to the virtual operations
// with a record of its own on the message record stack. A handler that does
// the work leaves its record handled (the procedure returns TRUE); one that
// falls through to defaultProc clears it (FALSE), and the dialog manager then
// does its own default processing. Nested messages, sent while a handler
// runs, get records of their own. The procedure reads the record after the
// handler returns, so no handler may delete its own dialog object; a page
// deletes itself from its release instead (PropertyPage::onRelease).
class Dialog : public Window {
 public:
  Dialog() = default;

  // Clears the handled flag of the message being dispatched and returns 0;
  // with no message being dispatched (outside dialogProc, or from
  // onInitDialog) it does nothing and returns 0.
  LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // BN_CLICKED of IDOK or IDCANCEL ends the dialog with the id; anything
  // else falls to the default.
  void onCommand(Window* control, WORD code, WORD id) override;
  ~Dialog() override;
  // The focus control may be null. True lets the dialog manager set the
  // focus. Must not fall through to defaultProc: no record is pushed for
  // WM_INITDIALOG.
  virtual bool onInitDialog(Window* focus);

  // Throws WindowsError "Can't end modal dialog".
  void endDialog(int result);

  // The dialog procedure; its WM_INITDIALOG takes the object as lParam (the
  // creation parameter). Nothing thrown by a handler leaves it: the message
  // then answers FALSE.
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  // The WM_INITDIALOG step shared with the property page's procedure: binds
  // dialog to window and runs onInitDialog with the focus control.
  static INT_PTR initDialog(Dialog* dialog, HWND window, WPARAM focus) noexcept;
  // How many messages are being dispatched to this dialog right now.
  std::size_t messagesInDispatch() const noexcept { return records_.size(); }

 private:
  struct MessageRecord {
    UINT message;
    bool handled;
  };
  std::vector<MessageRecord> records_;
};

}  // namespace brix
