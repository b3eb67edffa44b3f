#include "page/AVITreePropertyPage.h"

#include <cstdint>
#include <exception>

#include "base/ModuleHandle.h"
#include "base/RegistryKey.h"
#include "page/FileReport.h"
#include "page/PageResources.h"
#include "page/StatusText.h"

namespace {

// Where the column widths are remembered, per user.
constexpr char widthsKey[] = "Software\\{5D1C7A40-3E92-4B7F-9A06-C2E4F81B3D57}\\Components\\AVITreePropertyPage";
constexpr char elementWidthName[] = "ElementWidth";
constexpr char valueWidthName[] = "ValueWidth";
constexpr int defaultElementWidth = 100;
constexpr int defaultValueWidth = 200;

// Appended after every row there is.
constexpr int lastPosition = 0x7FFFFFFF;

struct ColumnWidths {
  int element = defaultElementWidth;
  int value = defaultValueWidth;
};

// The stored widths, used as stored; each one that can't be read keeps its
// default, and a missing "ElementWidth" ends the reading.
ColumnWidths loadColumnWidths() {
  ColumnWidths widths;
  try {
    brix::RegistryKey key(HKEY_CURRENT_USER, widthsKey, KEY_READ);
    widths.element = static_cast<int>(key.queryDWORD(elementWidthName));
    widths.value = static_cast<int>(key.queryDWORD(valueWidthName));
  } catch (const std::exception&) {
    // Nothing stored yet, or unreadable: the defaults serve.
  }
  return widths;
}

}  // namespace

AVITreePropertyPage::AVITreePropertyPage(const std::string& fileName)
    : PropertyPage(IDD_AVI_PAGE, brix::moduleHandle()), fileName_(fileName) {}

AVITreePropertyPage::~AVITreePropertyPage() = default;

void AVITreePropertyPage::addRow(int indent, int image, const std::string& element,
                                 const std::optional<std::string>& value) {
  const int item = listView_.insertItem(indent, image, element.c_str(), lastPosition);
  if (value) listView_.setItemText(item, value->c_str(), 1);
}

bool AVITreePropertyPage::onInitDialog(brix::Window* focus) {
  setUpList();
  fillList();
  return PropertyPage::onInitDialog(focus);
}

void AVITreePropertyPage::setUpList() {
  const ColumnWidths widths = loadColumnWidths();
  listView_.attachDlgItem(*this, IDC_STRUCTURE_LIST);
  listView_.insertColumn(0, "Element", widths.element, LVCFMT_LEFT, -1);
  listView_.insertColumn(1, "Value", widths.value, LVCFMT_LEFT, -1);
  // The control takes the list over and destroys it with itself.
  brix::ImageList images(IDB_ROW_IMAGES, IMAGE_BITMAP, 16, CLR_DEFAULT, LR_CREATEDIBSECTION, brix::moduleHandle());
  listView_.setImageList(LVSIL_SMALL, images);
}

void AVITreePropertyPage::fillList() {
  try {
    const ReadStatus status = readFileRows(
        fileName_, [this](int indent, int image, const std::string& element, const std::optional<std::string>& value) {
          addRow(indent, image, element, value);
        });
    setDlgItemText(IDC_STATUS, status.text.c_str());
  } catch (const std::exception& e) {
    setDlgItemText(IDC_STATUS, statusText(e).c_str());
  }
}

void AVITreePropertyPage::onDestroy() {
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

void AVITreePropertyPage::onRelease() {
  PropertyPage::onRelease();
  delete this;
}
