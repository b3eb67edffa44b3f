#pragma once
#include <boost/noncopyable.hpp>

// The list-view notification structure is part of a handler's signature.
#include "ui/CommonControls.h"
#include "ui/WindowRef.h"

namespace brix {

// An object bound to an existing window. The framework never creates
// windows: dialogs come from templates, controls from the dialog template.
// The messages of dialog windows reach the virtual operations below through
// Dialog::dialogProc; the defaults pass a message on to defaultProc.
//
// Object and window live apart: destroying the window unbinds the object
// (onNcDestroy) but never deletes it, and deleting the object destroys the
// window only when it owns it.
class Window : private boost::noncopyable {
 public:
  // Holds handle (null for an unbound object) without registering it.
  explicit Window(HWND handle = nullptr) noexcept : handle_(handle) {}

  // The virtual operations, in their fixed order.
  virtual LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);
  // control is null for a menu or accelerator command.
  virtual void onCommand(Window* control, WORD code, WORD id);
  virtual void onHScroll(Window* scrollBar, WORD code, WORD position);
  virtual void onVScroll(Window* scrollBar, WORD code, WORD position);
  virtual void onDestroy();
  virtual LRESULT onNotify(NMHDR* header);
  virtual void onItemChanged(NMLISTVIEW* change);
  // Default processing, then unbinds the object; the object lives on.
  virtual void onNcDestroy();
  // Destroys an owned window (see destroyWindow, whose failure is dropped
  // here) and removes every registry entry that points to this object, so
  // that the registry never hands out a deleted object.
  virtual ~Window();
  // WM_CONTEXTMENU, after the operations above: window is the one the user
  // clicked in (a temporary wrapper when it has no object, null for none),
  // x and y the point in screen coordinates, both -1 when the menu was
  // asked for with the keyboard (the menu key, Shift+F10).
  virtual void onContextMenu(Window* window, int x, int y);
  // A message of the application's own range (WM_APP to 0xBFFF), such as
  // one that a thread of its own posts: by default, defaultProc's answer.
  virtual LRESULT onAppMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Non-null handle: registers this object for it, replacing any other;
  // null handle: removes the entry of the handle held so far. Then holds the
  // given handle and ownership. Binding to a new handle leaves the entry of
  // the old one (the destructor removes it).
  void attach(HWND handle, bool ownsWindow);
  // Binds to control id of parent's dialog, not owning it; throws
  // WindowsError "Can't get dialog item for attaching".
  void attachDlgItem(const Window& parent, int id);
  // The object registered for handle, not owned; for an unregistered handle
  // with create set, a new unregistered plain Window owned by the reference;
  // otherwise (and for a null handle) an empty reference.
  static WindowRef fromHandle(HWND handle, bool create);

  // As a Unicode window takes it: a message with text carries UTF-16.
  LRESULT sendMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // text in UTF-8. Throws WindowsError "Can't set dialog item text".
  void setDlgItemText(int id, const char* text);
  // The window's own text, UTF-8; for a control that shows none (a list
  // view) it is the name a screen reader says. Throws WindowsError "Can't
  // set window text".
  void setWindowText(const char* text);
  // Adds styles (WS_*, or a control's own) to the window at run time; throws
  // WindowsError "Can't set window style".
  void addStyle(DWORD styles);
  // WM_SETREDRAW: whether the window draws the changes made to it; while
  // it does not, changes cost no drawing and are not shown.
  void setRedraw(bool redraw);
  // Invalidates the window, its frame and its children and has them drawn
  // anew; throws WindowsError "Can't redraw window".
  void redraw();
  // The dots per inch the window is shown at: its monitor's where the system
  // tells it per window, else the system's.
  int dpi() const;
  // Routes one message to the virtual operation for it.
  LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  // The explicit release of an owned window: DestroyWindow, whose failure
  // throws WindowsError "Can't destroy window" and leaves the object as it
  // was; afterwards the handle's entry is gone and the object unbound. Does
  // nothing when the window is not owned.
  void destroyWindow();

  HWND handle() const noexcept { return handle_; }
  bool ownsWindow() const noexcept { return ownsWindow_; }
  // Set only for a subclassed window, which nothing here makes.
  WNDPROC previousProc() const noexcept { return previousProc_; }

 private:
  HWND handle_;
  bool ownsWindow_ = false;
  WNDPROC previousProc_ = nullptr;
};

}  // namespace brix
