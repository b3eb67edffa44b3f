#include "ui/ListView.h"

#include <string>

#include "base/Unicode.h"
#include "base/WindowsError.h"

namespace brix {

ListView::~ListView() = default;

int ListView::insertItem(const LVITEMW* item) {
  const auto index = static_cast<int>(sendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item)));
  if (index == -1) throw WindowsError("Can't insert list view item");
  return index;
}

int ListView::insertItem(int indent, int image, const char* text, int position) {
  std::wstring wide = toWide(text);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = position;
  item.iSubItem = 0;
  item.pszText = wide.data();
  if (image != -1) {
    item.iImage = image;
    item.mask |= LVIF_IMAGE;
  }
  if (indent != 0) {
    item.iIndent = indent;
    item.mask |= LVIF_INDENT;
  }
  return insertItem(&item);
}

int ListView::insertColumn(int index, const LVCOLUMNW* column) {
  const auto result =
      static_cast<int>(sendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(column)));
  if (result == -1) throw WindowsError("Can't insert list view column");
  return result;
}

int ListView::insertColumn(int index, const char* text, int width, int format, int subitem) {
  std::wstring wide = toWide(text);
  LVCOLUMNW column = {};
  column.mask = LVCF_FMT | LVCF_TEXT;
  column.fmt = format;
  column.pszText = wide.data();
  if (width != -1) {
    column.cx = width;
    column.mask |= LVCF_WIDTH;
  }
  if (subitem != -1) {
    column.iSubItem = subitem;
    column.mask |= LVCF_SUBITEM;
  }
  return insertColumn(index, &column);
}

void ListView::setItemText(int item, const LVITEMW* text) {
  if (!sendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text))) {
    throw WindowsError("Can't set item text");
  }
}

void ListView::setItemText(int item, const char* text, int column) {
  std::wstring wide = toWide(text);
  LVITEMW change = {};
  change.mask = LVIF_TEXT;
  change.iSubItem = column;
  change.pszText = wide.data();
  setItemText(item, &change);
}

void ListView::setImageList(int kind, ImageList& list) {
  const HIMAGELIST given = list.release();
  const auto previous = reinterpret_cast<HIMAGELIST>(
      sendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(given)));
  list.reset(previous);
}

int ListView::getColumnWidth(int column) {
  return static_cast<int>(sendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

DWORD ListView::setExtendedStyle(DWORD mask, DWORD styles) {
  return static_cast<DWORD>(sendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(styles)));
}

int ListView::getNextItem(int start, UINT flags) {
  return static_cast<int>(sendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

void ListView::setItemState(int item, UINT state, UINT mask) {
  LVITEMW change = {};
  change.state = state;
  change.stateMask = mask;
  if (!sendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&change))) {
    throw WindowsError("Can't set item state");
  }
}

RECT ListView::getSubItemRect(int item, int subItem, int code) {
  RECT rect = {};
  rect.top = subItem;
  rect.left = code;
  if (!sendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect))) {
    throw WindowsError("Can't get item rectangle");
  }
  return rect;
}

int ListView::getStringWidth(const char* text) {
  return static_cast<int>(sendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(toWide(text).c_str())));
}

}  // namespace brix
