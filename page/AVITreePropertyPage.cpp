#include "page/AVITreePropertyPage.h"

#include <cstdint>
#include <exception>

#include "base/ActivationContext.h"
#include "base/ModuleHandle.h"
#include "base/RegistryKey.h"
#include "base/Unicode.h"
#include "page/FileReport.h"
#include "page/JsonReport.h"
#include "page/PageResources.h"
#include "page/StatusText.h"
#include "page/TextReport.h"
#include "ui/Clipboard.h"
#include "ui/CommonControls.h"
#include "ui/DrawingPause.h"
#include "ui/PopupMenu.h"

namespace {

// Where the column widths are remembered, per user.
constexpr char widthsKey[] = "Software\\{5D1C7A40-3E92-4B7F-9A06-C2E4F81B3D57}\\Components\\AVITreePropertyPage";
constexpr char elementWidthName[] = "ElementWidth";
constexpr char valueWidthName[] = "ValueWidth";
// The widths without a stored one, at 96 dots per inch; they grow with the
// dialog's DPI.
constexpr int defaultElementWidth = 100;
constexpr int defaultValueWidth = 200;
constexpr int baseDpi = 96;
// From here on the row images are drawn at 32 x 32 instead of 16 x 16.
constexpr int largeImagesDpi = 144;

// Appended after every row there is.
constexpr int lastPosition = 0x7FFFFFFF;

// The list's own look, set at run time beside the template's styles: the
// whole row selected, the selection still shown when the focus is
// elsewhere, no flicker while a long list scrolls, and tips for texts cut
// short.
constexpr DWORD listExtendedStyles = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP | LVS_EX_LABELTIP;
// The list leaves about this much room at each side of a cell's text, at 96
// dots per inch.
constexpr int cellTextMargin = 6;

// What the keys and the context menu ask for; the menu answers with its
// item's, not with a command to the dialog.
enum : UINT {
  copyCommand = 1,
  copyAllCommand,
  copyAllAsJsonCommand,
  selectAllCommand,
  verifyCommand,
  cancelVerificationCommand
};

struct ColumnWidths {
  int element;
  int value;
};

// The stored widths, used as stored; each one that can't be read keeps its
// default, and a missing "ElementWidth" ends the reading.
ColumnWidths loadColumnWidths(int dpi) {
  ColumnWidths widths{MulDiv(defaultElementWidth, dpi, baseDpi), MulDiv(defaultValueWidth, dpi, baseDpi)};
  try {
    brix::RegistryKey key(HKEY_CURRENT_USER, widthsKey, KEY_READ);
    widths.element = static_cast<int>(key.queryDWORD(elementWidthName));
    widths.value = static_cast<int>(key.queryDWORD(valueWidthName));
  } catch (const std::exception&) {
    // Nothing stored yet, or unreadable: the defaults serve.
  }
  return widths;
}

// For what the page does beyond its rows and status line (a name for screen
// readers, the list's looks, the keyboard's first row, large images): a
// step that fails leaves the page as it would be without it.
template <class Step>
void bestEffort(Step step) noexcept {
  try {
    step();
  } catch (const std::exception&) {
  }
}

// The three row images, drawn twice as large on screens of high DPI, where
// the bitmap for them loads.
brix::ImageList rowImages(int dpi) {
  if (dpi >= largeImagesDpi) {
    try {
      return brix::ImageList(IDB_ROW_IMAGES_LARGE, IMAGE_BITMAP, 32, CLR_DEFAULT, LR_CREATEDIBSECTION,
                             brix::moduleHandle());
    } catch (const std::exception&) {
      // The usual size serves.
    }
  }
  return brix::ImageList(IDB_ROW_IMAGES, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, brix::moduleHandle());
}

// The status line while the whole file is verified.
std::string verifyingText(int percent) {
  return "Verifying the whole file: " + std::to_string(percent) + " %";
}

}  // namespace

AVITreePropertyPage::AVITreePropertyPage(const std::string& fileName)
    : PropertyPage(IDD_AVI_PAGE, brix::moduleHandle(), brix::ActivationContext::ofModule().handle()),
      fileName_(fileName) {
  // The list of the page's template is made by this module's version of the
  // common controls, which registers its class on request.
  brix::initCommonControls(ICC_LISTVIEW_CLASSES);
}

AVITreePropertyPage::~AVITreePropertyPage() = default;

void AVITreePropertyPage::addRow(int indent, int image, const std::string& element,
                                 const std::optional<std::string>& value) {
  const int item = listView_.insertItem(indent, image, element.c_str(), lastPosition);
  if (value) listView_.setItemText(item, value->c_str(), 1);
}

bool AVITreePropertyPage::onInitDialog(brix::Window* focus) {
  setUpList();
  fillList();
  // Only now: each of these makes every row inserted cost more.
  bestEffort([this] { listView_.addStyle(LVS_SHOWSELALWAYS); });
  bestEffort([this] { listView_.setExtendedStyle(listExtendedStyles, listExtendedStyles); });
  return PropertyPage::onInitDialog(focus);
}

void AVITreePropertyPage::setUpList() {
  const int dpi = this->dpi();
  const ColumnWidths widths = loadColumnWidths(dpi);
  listView_.attachDlgItem(*this, IDC_STRUCTURE_LIST);
  // The list shows no text of its own: its text is its name for a screen
  // reader.
  bestEffort([this] { listView_.setWindowText("AVI structure"); });
  listView_.insertColumn(0, "Element", widths.element, LVCFMT_LEFT, -1);
  listView_.insertColumn(1, "Value", widths.value, LVCFMT_LEFT, -1);
  // The control takes the list over and destroys it with itself.
  brix::ImageList images = rowImages(dpi);
  listView_.setImageList(LVSIL_SMALL, images);
}

void AVITreePropertyPage::fillList() {
  // Whatever fails, "Copy all" still has the path and the status.
  report_ = FileReport{fileName_, {}, {}, false};
  // Each row still goes into the list as it is made, but the list draws
  // once, when this pause ends: drawn row by row, a few thousand rows took
  // seconds.
  const brix::DrawingPause pause(listView_);
  try {
    report_ = readFileReport(
        fileName_, [this](int indent, int image, const std::string& element, const std::optional<std::string>& value) {
          addRow(indent, image, element, value);
        });
    // A keyboard user who tabs into the list starts on the first row.
    if (!report_.rows.empty()) bestEffort([this] { listView_.setItemState(0, LVIS_FOCUSED, LVIS_FOCUSED); });
  } catch (const std::exception& e) {
    report_.status = statusText(e);
    report_.ok = false;
  }
  setDlgItemText(IDC_STATUS, report_.status.c_str());
}

void AVITreePropertyPage::onDestroy() {
  // The thread ends on its own, soon, and posts nothing more.
  verification_.reset();
  // A list that was never set up has no widths worth keeping.
  if (listView_.handle()) storeColumnWidths();
  PropertyPage::onDestroy();
}

void AVITreePropertyPage::storeColumnWidths() {
  try {
    brix::RegistryKey key;
    key.create(HKEY_CURRENT_USER, widthsKey, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, nullptr);
    key.setDWORD(elementWidthName, static_cast<std::uint32_t>(listView_.getColumnWidth(0)));
    key.setDWORD(valueWidthName, static_cast<std::uint32_t>(listView_.getColumnWidth(1)));
  } catch (const std::exception&) {
    // Not worth a word to the user: the next page starts with what is stored.
  }
}

LRESULT AVITreePropertyPage::onNotify(NMHDR* header) {
  if (header->code == PSN_QUERYCANCEL && cancelVerificationByEscape()) {
    // The sheet stays open: the answer goes where a dialog puts it.
    SetWindowLongPtrW(handle(), DWLP_MSGRESULT, TRUE);
    return TRUE;
  }
  if (header->hwndFrom == listView_.handle()) {
    switch (header->code) {
      case LVN_KEYDOWN: onListKey(reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey); break;
      case LVN_GETINFOTIPW: {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
        const std::wstring text = brix::toWide(infoTip(tip->iItem, (tip->dwFlags & LVGIT_UNFOLDED) != 0));
        if (tip->pszText && tip->cchTextMax > 0) {
          lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
        }
        return 0;
      }
    }
  }
  return PropertyPage::onNotify(header);
}

void AVITreePropertyPage::onListKey(WORD key) {
  // Ctrl alone: with Alt too (AltGr) the keys type characters.
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return;
  if (key == 'C' || key == VK_INSERT) runCommand(copyCommand);
  if (key == 'A') runCommand(selectAllCommand);
}

void AVITreePropertyPage::onContextMenu(brix::Window* window, int x, int y) {
  if (window != &listView_) {
    PropertyPage::onContextMenu(window, x, y);
    return;
  }
  try {
    if (x == -1 && y == -1) {
      const POINT point = menuPointForKeyboard();
      x = point.x;
      y = point.y;
    }
    showMenu(x, y);
  } catch (const std::exception&) {
    // No menu, nothing lost: the keys still copy.
  }
}

POINT AVITreePropertyPage::menuPointForKeyboard() {
  // Under the focused row, as if the user had clicked it; the list's corner
  // when that row is scrolled away or there is none.
  RECT client = {};
  GetClientRect(listView_.handle(), &client);
  POINT point = {client.left, client.top};
  int item = listView_.getNextItem(-1, LVNI_FOCUSED);
  if (item < 0) item = listView_.getNextItem(-1, LVNI_SELECTED);
  if (item >= 0) {
    const RECT row = listView_.getSubItemRect(item, 0, LVIR_LABEL);
    if (row.bottom > client.top && row.bottom <= client.bottom) point = {row.left, row.bottom};
  }
  ClientToScreen(listView_.handle(), &point);
  return point;
}

void AVITreePropertyPage::showMenu(int x, int y) {
  brix::PopupMenu menu;
  menu.append(copyCommand, "Copy", listView_.getNextItem(-1, LVNI_SELECTED) >= 0);
  menu.append(copyAllCommand, "Copy all", true);
  menu.append(copyAllAsJsonCommand, "Copy all as JSON", true);
  if (verification_) {
    menu.append(cancelVerificationCommand, "Cancel verification", true);
  } else {
    menu.append(verifyCommand, "Verify whole file", true);
  }
  runCommand(menu.track(handle(), x, y));
}

void AVITreePropertyPage::runCommand(UINT command) {
  try {
    std::string text;
    switch (command) {
      case copyCommand: text = textRows(selectedRows()); break;
      case copyAllCommand: text = textReport(report_); break;
      case copyAllAsJsonCommand: text = jsonReport({report_}); break;
      case selectAllCommand: listView_.setItemState(-1, LVIS_SELECTED, LVIS_SELECTED); return;
      case verifyCommand: startVerification(); return;
      case cancelVerificationCommand:
        if (verification_) verification_->cancel();
        return;
      default: return;
    }
    if (text.empty()) return;
    brix::Clipboard clipboard(handle());
    clipboard.setText(text);
  } catch (const std::exception&) {
    // Not worth a word: the user sees the clipboard unchanged and copies
    // again, or the status line unchanged and verifies again.
  }
}

void AVITreePropertyPage::startVerification() {
  verification_ = std::make_unique<BackgroundVerification>(fileName_, handle(), ++verificationSerial_);
  setDlgItemText(IDC_STATUS, verifyingText(0).c_str());
}

bool AVITreePropertyPage::cancelVerificationByEscape() {
  // The sheet's Cancel button and its close box close it as ever.
  if (!verification_ || GetKeyState(VK_ESCAPE) >= 0) return false;
  verification_->cancel();
  return true;
}

LRESULT AVITreePropertyPage::onAppMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!verification_ || lParam != verificationSerial_) return 0;
  try {
    if (message == BackgroundVerification::progressMessage) {
      setDlgItemText(IDC_STATUS, verifyingText(static_cast<int>(wParam)).c_str());
    } else if (message == BackgroundVerification::doneMessage) {
      const Verification result = verification_->result();
      verification_.reset();
      setDlgItemText(IDC_STATUS, ("Verification: " + statusLine(result.status)).c_str());
    }
  } catch (const std::exception&) {
    // A status line that can't be set keeps its text.
  }
  return 0;
}

std::vector<StructureRowText> AVITreePropertyPage::selectedRows() {
  std::vector<StructureRowText> rows;
  for (int item = listView_.getNextItem(-1, LVNI_SELECTED); item >= 0;
       item = listView_.getNextItem(item, LVNI_SELECTED)) {
    // The list holds the report's rows in their order.
    const auto index = static_cast<std::size_t>(item);
    if (index < report_.rows.size()) rows.push_back(report_.rows[index]);
  }
  return rows;
}

std::string AVITreePropertyPage::infoTip(int item, bool labelShown) {
  if (item < 0 || static_cast<std::size_t>(item) >= report_.rows.size()) return {};
  const StructureRowText& row = report_.rows[static_cast<std::size_t>(item)];
  bool valueCut = false;
  try {
    if (row.value && !row.value->empty()) {
      const RECT cell = listView_.getSubItemRect(item, 1, LVIR_LABEL);
      const int room = cell.right - cell.left - 2 * MulDiv(cellTextMargin, listView_.dpi(), baseDpi);
      valueCut = listView_.getStringWidth(row.value->c_str()) > room;
    }
  } catch (const std::exception&) {
    // A row the list can't measure gets no tip of its own.
  }
  // The list itself shows an Element cut short in full; the Value follows it.
  if (!valueCut) return labelShown ? std::string() : row.element;
  return labelShown ? *row.value : row.element + "\r\n" + *row.value;
}

void AVITreePropertyPage::onRelease() {
  PropertyPage::onRelease();
  delete this;
}
