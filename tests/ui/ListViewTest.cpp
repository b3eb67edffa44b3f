#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Unicode.h"
#include "base/WindowsError.h"
#include "tests/ui/TestDialog.h"
#include "tests/ui/TestResources.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DrawingPause.h"
#include "ui/ListView.h"

using brix::ImageList;
using brix::ListView;
using brix::WindowsError;
using ui_testing::ModelessDialog;
using ui_testing::TestDialog;

namespace {

// What the control itself received, caught by subclassing it for the test.
struct Received {
  std::vector<LVITEMW> items;
  std::vector<LVCOLUMNW> columns;
  std::vector<std::wstring> texts;  // what pszText pointed to, as it was sent
  WNDPROC original = nullptr;
};
Received* received = nullptr;

LRESULT CALLBACK spyingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LVM_INSERTITEMW && lParam) {
    received->items.push_back(*reinterpret_cast<const LVITEMW*>(lParam));
    received->texts.push_back(received->items.back().pszText);
  }
  if (message == LVM_INSERTCOLUMNW && lParam) {
    received->columns.push_back(*reinterpret_cast<const LVCOLUMNW*>(lParam));
    received->texts.push_back(received->columns.back().pszText);
  }
  return CallWindowProcW(received->original, window, message, wParam, lParam);
}

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_testing::initCommonControls();
    list = window.item(IDC_LIST);
    listView.attachDlgItem(dialog, IDC_LIST);
  }
  void TearDown() override {
    if (received) {
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(received->original));
      received = nullptr;
    }
  }
  void spyOnTheControl() {
    received = &spy;
    spy.original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(spyingListProc)));
    ASSERT_NE(spy.original, nullptr);
  }
  // An item's text, image and indent as the control reports them.
  // An item's text (in UTF-8), image and indent as the control reports them.
  LVITEMW readItem(int index, int subItem, std::string& text) {
    wchar_t buffer[256] = {};
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT;
    item.iItem = index;
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = std::size(buffer);
    EXPECT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    text = brix::fromWide(buffer);
    return item;
  }
  LVCOLUMNW readColumn(int index, std::string& text) {
    wchar_t buffer[256] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = buffer;
    column.cchTextMax = std::size(buffer);
    EXPECT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
    text = brix::fromWide(buffer);
    return column;
  }

  TestDialog dialog;
  ModelessDialog window{&dialog};
  HWND list = nullptr;
  ListView listView;
  Received spy;
};

std::string plainMessage(const WindowsError& error) {
  return error.std::runtime_error::what();
}

// --- Columns -----------------------------------------------------------------

TEST_F(ListViewTest, ColumnsAreInsertedWithTheirTextFormatAndWidth) {
  EXPECT_EQ(listView.insertColumn(0, "Element", 120, LVCFMT_LEFT, -1), 0);
  EXPECT_EQ(listView.insertColumn(1, "Value", 80, LVCFMT_RIGHT, -1), 1);
  std::string text;
  const LVCOLUMNW element = readColumn(0, text);
  EXPECT_EQ(text, "Element");
  EXPECT_EQ(element.cx, 120);
  EXPECT_EQ(element.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  const LVCOLUMNW value = readColumn(1, text);
  EXPECT_EQ(text, "Value");
  EXPECT_EQ(value.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
  EXPECT_EQ(listView.getColumnWidth(0), 120);
  EXPECT_EQ(listView.getColumnWidth(1), 80);
}

TEST_F(ListViewTest, AColumnWithoutWidthGetsTheControlsDefault) {
  spyOnTheControl();
  EXPECT_EQ(listView.insertColumn(0, "Element", -1, LVCFMT_LEFT, -1), 0);
  ASSERT_EQ(spy.columns.size(), 1u);
  EXPECT_EQ(spy.columns[0].mask, static_cast<UINT>(LVCF_FMT | LVCF_TEXT));
  EXPECT_EQ(spy.columns[0].fmt, LVCFMT_LEFT);
  EXPECT_EQ(spy.texts[0], L"Element");

  // The same column sent by hand without a width.
  LVCOLUMNW byHand = {};
  byHand.mask = LVCF_FMT | LVCF_TEXT;
  byHand.cx = 999;
  byHand.pszText = const_cast<wchar_t*>(L"Element");
  ASSERT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&byHand)), 1);
  EXPECT_EQ(listView.getColumnWidth(0), listView.getColumnWidth(1));
  EXPECT_NE(listView.getColumnWidth(0), -1);
}

TEST_F(ListViewTest, AColumnWithASubitemSetsIt) {
  spyOnTheControl();
  EXPECT_EQ(listView.insertColumn(0, "Element", 50, LVCFMT_LEFT, 3), 0);
  ASSERT_EQ(spy.columns.size(), 1u);
  EXPECT_EQ(spy.columns[0].mask, static_cast<UINT>(LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM));
  EXPECT_EQ(spy.columns[0].cx, 50);
  EXPECT_EQ(spy.columns[0].iSubItem, 3);
  std::string text;
  EXPECT_EQ(readColumn(0, text).iSubItem, 3);
}

TEST_F(ListViewTest, AFailingColumnInsertThrows) {
  try {
    listView.insertColumn(-1, "Element", 50, LVCFMT_LEFT, -1);
    FAIL() << "inserted a column at -1";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't insert list view column");
  }
}

// --- Items -------------------------------------------------------------------

TEST_F(ListViewTest, ItemsKeepTheirIndentAndImage) {
  listView.insertColumn(0, "Element", 100, LVCFMT_LEFT, -1);
  listView.insertColumn(1, "Value", 100, LVCFMT_LEFT, -1);
  EXPECT_EQ(listView.insertItem(0, 0, "Path", INT_MAX), 0);
  EXPECT_EQ(listView.insertItem(1, 1, "AVIMAINHEADER", INT_MAX), 1);
  EXPECT_EQ(listView.insertItem(2, 2, "dwMicroSecPerFrame", INT_MAX), 2);
  EXPECT_EQ(listView.insertItem(3, 2, "fccType", INT_MAX), 3);
  listView.setItemText(2, "40000", 1);

  std::string text;
  const int expectedIndent[] = {0, 1, 2, 3};
  const int expectedImage[] = {0, 1, 2, 2};
  const char* expectedText[] = {"Path", "AVIMAINHEADER", "dwMicroSecPerFrame", "fccType"};
  for (int index = 0; index < 4; ++index) {
    const LVITEMW item = readItem(index, 0, text);
    EXPECT_EQ(text, expectedText[index]) << index;
    EXPECT_EQ(item.iIndent, expectedIndent[index]) << index;
    EXPECT_EQ(item.iImage, expectedImage[index]) << index;
  }
  readItem(2, 1, text);
  EXPECT_EQ(text, "40000");
  readItem(1, 1, text);
  EXPECT_EQ(text, "");
}

TEST_F(ListViewTest, TextsInAnyScriptReachTheControlIntact) {
  // Cyrillic, CJK, an emoji (a surrogate pair) and a Latin-1 letter.
  const std::string name =
      "\xD0\x9E\xD1\x82\xD0\xBF\xD1\x83\xD1\x81\xD0\xBA \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8E\xAC \xC3\xA9.avi";
  listView.insertColumn(0, name.c_str(), 100, LVCFMT_LEFT, -1);
  listView.insertColumn(1, "Value", 100, LVCFMT_LEFT, -1);
  listView.insertItem(0, 0, name.c_str(), INT_MAX);
  listView.setItemText(0, name.c_str(), 1);
  std::string text;
  readColumn(0, text);
  EXPECT_EQ(text, name);
  readItem(0, 0, text);
  EXPECT_EQ(text, name);
  readItem(0, 1, text);
  EXPECT_EQ(text, name);
}

TEST_F(ListViewTest, AnItemAtAPositionIsInsertedThere) {
  listView.insertColumn(0, "Element", 100, LVCFMT_LEFT, -1);
  listView.insertItem(0, -1, "second", INT_MAX);
  EXPECT_EQ(listView.insertItem(0, -1, "first", 0), 0);
  std::string text;
  readItem(1, 0, text);
  EXPECT_EQ(text, "second");
}

TEST_F(ListViewTest, AnItemWithoutImageAndIndentCarriesTextOnly) {
  listView.insertColumn(0, "Element", 100, LVCFMT_LEFT, -1);
  spyOnTheControl();
  EXPECT_EQ(listView.insertItem(0, -1, "Streams", INT_MAX), 0);
  EXPECT_EQ(listView.insertItem(2, 1, "strh", INT_MAX), 1);
  ASSERT_EQ(spy.items.size(), 2u);
  EXPECT_EQ(spy.items[0].mask, static_cast<UINT>(LVIF_TEXT));
  EXPECT_EQ(spy.items[0].iItem, INT_MAX);
  EXPECT_EQ(spy.items[0].iSubItem, 0);
  EXPECT_EQ(spy.texts[0], L"Streams");
  EXPECT_EQ(spy.items[1].mask, static_cast<UINT>(LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT));
  EXPECT_EQ(spy.items[1].iImage, 1);
  EXPECT_EQ(spy.items[1].iIndent, 2);
}

TEST_F(ListViewTest, AFailingItemInsertThrows) {
  listView.insertColumn(0, "Element", 100, LVCFMT_LEFT, -1);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iSubItem = 1;  // items are inserted through their first column only
  item.pszText = const_cast<wchar_t*>(L"x");
  try {
    listView.insertItem(&item);
    FAIL() << "inserted an item through a subitem";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't insert list view item");
  }
}

TEST_F(ListViewTest, SettingTheTextOfAMissingItemThrows) {
  listView.insertColumn(0, "Element", 100, LVCFMT_LEFT, -1);
  listView.insertColumn(1, "Value", 100, LVCFMT_LEFT, -1);
  try {
    listView.setItemText(5, "x", 1);
    FAIL() << "set the text of a missing item";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't set item text");
  }
}

// --- Selection, cells and looks ----------------------------------------------

TEST_F(ListViewTest, ItemStatesAreSetAndFoundByState) {
  listView.insertColumn(0, "Element", 100, LVCFMT_LEFT, -1);
  for (const char* text : {"a", "b", "c", "d"}) listView.insertItem(0, -1, text, INT_MAX);
  const auto selected = [this] {
    std::vector<int> items;
    for (int item = listView.getNextItem(-1, LVNI_SELECTED); item >= 0;
         item = listView.getNextItem(item, LVNI_SELECTED)) {
      items.push_back(item);
    }
    return items;
  };
  EXPECT_TRUE(selected().empty());
  listView.setItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  listView.setItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(selected(), (std::vector<int>{1, 3}));
  EXPECT_EQ(listView.getNextItem(-1, LVNI_FOCUSED), 3);
  listView.setItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(selected(), (std::vector<int>{0, 1, 2, 3}));
  listView.setItemState(-1, 0, LVIS_SELECTED);
  EXPECT_TRUE(selected().empty());
  EXPECT_EQ(listView.getNextItem(-1, LVNI_FOCUSED), 3) << "only the states in the mask change";
  try {
    listView.setItemState(9, LVIS_SELECTED, LVIS_SELECTED);
    FAIL() << "set the state of a missing item";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't set item state");
  }
}

TEST_F(ListViewTest, CellsAndTextsAreMeasuredAsTheControlDrawsThem) {
  listView.insertColumn(0, "Element", 120, LVCFMT_LEFT, -1);
  listView.insertColumn(1, "Value", 80, LVCFMT_LEFT, -1);
  listView.insertItem(0, -1, "first", INT_MAX);
  listView.insertItem(0, -1, "second", INT_MAX);
  const RECT row = listView.getSubItemRect(1, 0, LVIR_BOUNDS);  // subitem 0: the whole row
  const RECT element = listView.getSubItemRect(1, 0, LVIR_LABEL);
  const RECT value = listView.getSubItemRect(1, 1, LVIR_BOUNDS);
  EXPECT_EQ(value.left - row.left, 120);
  EXPECT_EQ(value.right - value.left, 80);
  EXPECT_GE(element.left, row.left);
  EXPECT_LE(element.right, value.left);
  EXPECT_EQ(value.top, listView.getSubItemRect(0, 1, LVIR_BOUNDS).bottom) << "the second row under the first";
  EXPECT_GT(listView.getStringWidth("WWWWWWWW"), listView.getStringWidth("iiii"));
  EXPECT_GT(listView.getStringWidth("i"), 0);
  EXPECT_EQ(listView.getStringWidth(""), 0);
  try {
    listView.getSubItemRect(7, 0, LVIR_BOUNDS);
    FAIL() << "measured a missing item";
  } catch (const WindowsError& e) {
    EXPECT_EQ(plainMessage(e), "Can't get item rectangle");
  }
}

// --- Image lists -------------------------------------------------------------

TEST_F(ListViewTest, SetImageListHandsTheListToTheControl) {
  ImageList images(IDB_ROW_IMAGES, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, ui_testing::module());
  const HIMAGELIST given = images.handle();
  ASSERT_NE(given, nullptr);
  listView.setImageList(LVSIL_SMALL, images);
  EXPECT_EQ(images.handle(), nullptr) << "the control had no list before, so nothing comes back";
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), given);
  EXPECT_EQ(ImageList_GetImageCount(given), 3);

  // A second list replaces the first, which comes back to be owned here.
  ImageList more(IDB_ROW_IMAGES, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, ui_testing::module());
  const HIMAGELIST second = more.handle();
  listView.setImageList(LVSIL_SMALL, more);
  EXPECT_EQ(more.handle(), given);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), second);
  more.destroy();
  EXPECT_EQ(more.handle(), nullptr);
  EXPECT_EQ(ImageList_GetImageCount(second), 3) << "the control's own list is untouched";
}

TEST_F(ListViewTest, SetImageListOfAnotherKindLeavesTheSmallList) {
  ImageList small(IDB_ROW_IMAGES, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, ui_testing::module());
  const HIMAGELIST smallHandle = small.handle();
  listView.setImageList(LVSIL_SMALL, small);
  ImageList state(IDB_ROW_IMAGES, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, ui_testing::module());
  listView.setImageList(LVSIL_STATE, state);
  EXPECT_EQ(state.handle(), nullptr);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), smallHandle);
}

// Rows added while the list's drawing is paused leave nothing to draw; when
// the pause ends, however its scope is left, the list is drawn anew and
// draws what is added from then on.
TEST_F(ListViewTest, APausedListDrawsOnceWhenThePauseEndsEvenByAnException) {
  listView.insertColumn(0, "Element", 100, LVCFMT_LEFT, -1);
  ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
  const auto drawingPending = [this] { return GetUpdateRect(list, nullptr, FALSE) != FALSE; };
  for (const bool throws : {false, true}) {
    // Drawn and up to date: whatever is to be drawn now comes from here.
    UpdateWindow(window.handle());
    try {
      const brix::DrawingPause pause(listView);
      for (int i = 0; i < 3; ++i) listView.insertItem(0, 0, "row", INT_MAX);
      EXPECT_FALSE(drawingPending()) << throws;
      if (throws) throw std::runtime_error("Can't insert list view item");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(drawingPending()) << throws;
    ValidateRect(list, nullptr);
    listView.insertItem(0, 0, "row", INT_MAX);
    EXPECT_TRUE(drawingPending()) << throws;
  }
}

}  // namespace
