#pragma once
#include "ui/ImageList.h"
#include "ui/Window.h"

namespace brix {

// A report-style list-view control of a dialog, bound with attachDlgItem.
// Each operation sends one message to the control; the failing ones throw
// WindowsError with a fixed text. No window is subclassed, so the object's
// own virtual operations receive no messages. Texts are UTF-8 here and go to
// the control through its wide messages, so any name shows as it is.
class ListView : public Window {
 public:
  ListView() noexcept = default;
  ~ListView() override;

  // The index of the new item; throws "Can't insert list view item".
  int insertItem(const LVITEMW* item);
  // Inserts text at position, with image unless it is -1 and indented by
  // indent image widths unless it is 0; the item carries no other field.
  int insertItem(int indent, int image, const char* text, int position);
  // The index of the new column; throws "Can't insert list view column".
  int insertColumn(int index, const LVCOLUMNW* column);
  // A column of the given format; width -1 gives none (the control's
  // default applies), subitem -1 none.
  int insertColumn(int index, const char* text, int width, int format, int subitem);
  // Throws "Can't set item text".
  void setItemText(int item, const LVITEMW* text);
  void setItemText(int item, const char* text, int column);
  // Gives the list held by list to the control (kind is LVSIL_SMALL, for
  // one); list then owns the control's previous list of that kind, if any.
  void setImageList(int kind, ImageList& list);
  int getColumnWidth(int column);

  // LVS_EX_* styles: those in mask become as in styles; returns the styles
  // before.
  DWORD setExtendedStyle(DWORD mask, DWORD styles);
  // The next item after start (-1: from the first) with the LVNI_* flags,
  // or -1 when there is none.
  int getNextItem(int start, UINT flags);
  // The states in mask of item (-1: of every item) become as in state;
  // throws "Can't set item state".
  void setItemState(int item, UINT state, UINT mask);
  // The rectangle of a cell (subitem 0: the whole row for LVIR_BOUNDS) in
  // the control's client coordinates, part code one of LVIR_*; throws
  // "Can't get item rectangle".
  RECT getSubItemRect(int item, int subItem, int code);
  // How wide text would be drawn in the control's font, in pixels.
  int getStringWidth(const char* text);
};

}  // namespace brix
