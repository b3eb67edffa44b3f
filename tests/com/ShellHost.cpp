#include "tests/com/ShellHost.h"

#include <prsht.h>

#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "base/Unicode.h"

namespace shell_host {
namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

const CLSID extensionClass = {0xC81B959F, 0x8750, 0x4E75, {0x89, 0xFE, 0xF4, 0x4C, 0xB8, 0x35, 0x41, 0x39}};

// The selection as the shell offers it: CF_HDROP data in an HGLOBAL, each
// call of GetData handing out a new copy for the caller to release.
class DropData final : public IDataObject {
 public:
  // names null: no data in any format.
  explicit DropData(const std::vector<std::wstring>* names) {
    if (!names) return;
    hasFiles_ = true;
    for (const std::wstring& name : *names) {
      files_ += name;
      files_ += L'\0';
    }
    files_ += L'\0';
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
      *result = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return count;
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!format || !medium) return E_INVALIDARG;
    const HRESULT offered = QueryGetData(format);
    if (offered != S_OK) return offered;
    const SIZE_T bytes = sizeof(DROPFILES) + files_.size() * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!memory) return E_OUTOFMEMORY;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, files_.data(), files_.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (!format) return E_INVALIDARG;
    if (!hasFiles_ || format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
    if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  ~DropData() = default;

  volatile LONG references_ = 1;
  bool hasFiles_ = false;
  std::wstring files_;
};

void sendInputs(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT keyInput(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// What chooseFromMenu is doing, for its timer.
struct MenuChoice {
  std::string item;
  std::optional<MenuSeen> seen;
  int target = -1;
  int highlightAtPress = -2;
  bool finished = false;
  std::string error;
  DWORD start = GetTickCount();
};
// A menu still open after this long is closed, so that a test fails
// instead of hanging in the menu's own message loop.
constexpr DWORD menuDeadline = 10000;
MenuChoice* menuChoice = nullptr;

std::string menuItemText(HMENU menu, int index) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(index), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
  return brix::fromWide(text);
}

// Runs while the menu's own message loop does: looks at the menu, then moves
// its highlight one item per key press until it is on the item wanted.
void CALLBACK stepMenuChoice(HWND, UINT, UINT_PTR, DWORD) {
  MenuChoice& choice = *menuChoice;
  const HWND window = FindWindowW(L"#32768", nullptr);
  if (!choice.finished && GetTickCount() - choice.start > menuDeadline) {
    choice.error = "the menu stayed open";
    choice.finished = true;
    EndMenu();
    return;
  }
  if (choice.finished || !window || !IsWindowVisible(window)) return;
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  const int count = GetMenuItemCount(menu);
  int highlight = -1;
  for (int i = 0; i < count; ++i) {
    if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) highlight = i;
  }
  if (!choice.seen) {
    MenuSeen seen;
    for (int i = 0; i < count; ++i) {
      seen.items.push_back(menuItemText(menu, i));
      seen.enabled.push_back(!(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)));
    }
    GetWindowRect(window, &seen.rect);
    for (int i = 0; i < count; ++i) {
      if (seen.items[static_cast<std::size_t>(i)] == choice.item) choice.target = i;
    }
    choice.seen = seen;
    if (choice.target < 0) {
      if (!choice.item.empty()) choice.error = "the menu has no item \"" + choice.item + "\"";
      choice.finished = true;
      sendInputs({keyInput(VK_ESCAPE, false), keyInput(VK_ESCAPE, true)});
      return;
    }
  }
  // One key at a time: the next only once the last has moved the highlight.
  if (choice.highlightAtPress != -2 && highlight == choice.highlightAtPress) return;
  if (highlight == choice.target) {
    choice.finished = true;
    sendInputs({keyInput(VK_RETURN, false), keyInput(VK_RETURN, true)});
    return;
  }
  choice.highlightAtPress = highlight;
  sendInputs({keyInput(VK_DOWN, false), keyInput(VK_DOWN, true)});
}

PageRow readRow(HWND list, int index) {
  wchar_t text[4096];
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT;
  item.iItem = index;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  text[0] = L'\0';
  if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
    throw std::runtime_error("LVM_GETITEMW failed for row " + std::to_string(index));
  }
  PageRow row{item.iIndent, item.iImage, brix::fromWide(text), {}};
  LVITEMW value = {};
  value.iSubItem = 1;
  value.pszText = text;
  value.cchTextMax = static_cast<int>(std::size(text));
  text[0] = L'\0';
  const auto length =
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&value));
  row.value = brix::fromWide(std::wstring(text, static_cast<std::size_t>(length)));
  return row;
}

}  // namespace

const wchar_t columnWidthsKey[] = L"Software\\{5D1C7A40-3E92-4B7F-9A06-C2E4F81B3D57}\\Components\\AVITreePropertyPage";

void clearColumnWidths() {
  RegDeleteTreeW(HKEY_CURRENT_USER, columnWidthsKey);
}

void storeColumnWidths(std::optional<DWORD> element, std::optional<DWORD> value) {
  clearColumnWidths();
  for (const auto& [name, width] : {std::pair{L"ElementWidth", element}, std::pair{L"ValueWidth", value}}) {
    if (width &&
        RegSetKeyValueW(HKEY_CURRENT_USER, columnWidthsKey, name, REG_DWORD, &*width, sizeof(DWORD)) != ERROR_SUCCESS) {
      throw std::runtime_error("can't store the column width " + brix::fromWide(name));
    }
  }
}

ComRef<IDataObject> fileDropData(const std::vector<std::string>& names) {
  std::vector<std::wstring> wide;
  for (const std::string& name : names) wide.push_back(brix::toWide(name));
  return fileDropData(wide);
}

ComRef<IDataObject> fileDropData(const std::vector<std::wstring>& names) {
  return ComRef<IDataObject>(new DropData(&names));
}

ComRef<IDataObject> dataWithoutFiles() {
  return ComRef<IDataObject>(new DropData(nullptr));
}

BOOL CALLBACK PageCollector::add(HPROPSHEETPAGE page, LPARAM collector) {
  auto* self = reinterpret_cast<PageCollector*>(collector);
  self->pages.push_back(page);
  return self->accept;
}

ExtensionDll::ExtensionDll(const std::string& path) : module_(LoadLibraryW(brix::toWide(path).c_str())) {
  if (!module_) throw std::runtime_error("can't load " + path + ": error " + std::to_string(GetLastError()));
}

ExtensionDll::~ExtensionDll() {
  FreeLibrary(module_);
}

HRESULT ExtensionDll::getClassObject(const CLSID& clsid, const IID& iid, void** result) const {
  return exported<GetClassObjectFunction>("DllGetClassObject")(clsid, iid, result);
}

HRESULT ExtensionDll::canUnloadNow() const {
  return exported<CanUnloadNowFunction>("DllCanUnloadNow")();
}

ComRef<IShellExtInit> ExtensionDll::createExtension() const {
  ComRef<IClassFactory> factory;
  HRESULT hr = getClassObject(extensionClass, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
  if (FAILED(hr)) throw std::runtime_error("DllGetClassObject failed: " + std::to_string(hr));
  ComRef<IShellExtInit> extension;
  hr = factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(extension.put()));
  if (FAILED(hr)) throw std::runtime_error("CreateInstance failed: " + std::to_string(hr));
  return extension;
}

std::vector<HPROPSHEETPAGE> pagesFor(IShellExtInit* extension, IDataObject* data) {
  HRESULT hr = extension->Initialize(nullptr, data, HKEY_CLASSES_ROOT);
  if (FAILED(hr)) throw std::runtime_error("Initialize failed: " + std::to_string(hr));
  ComRef<IShellPropSheetExt> sheetExtension;
  hr = extension->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(sheetExtension.put()));
  if (FAILED(hr)) throw std::runtime_error("no IShellPropSheetExt: " + std::to_string(hr));
  PageCollector collector;
  hr = sheetExtension->AddPages(&PageCollector::add, reinterpret_cast<LPARAM>(&collector));
  if (FAILED(hr)) throw std::runtime_error("AddPages failed: " + std::to_string(hr));
  return collector.pages;
}

std::vector<HPROPSHEETPAGE> pagesFor(IShellExtInit* extension, const std::vector<std::string>& names) {
  return pagesFor(extension, fileDropData(names).get());
}

SheetWindow::SheetWindow(const std::vector<HPROPSHEETPAGE>& pages, const std::string& caption) {
  std::vector<HPROPSHEETPAGE> handles = pages;
  const std::wstring title = brix::toWide(caption);
  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_MODELESS | PSH_NOAPPLYNOW | PSH_PROPTITLE;
  header.pszCaption = title.c_str();
  header.nPages = static_cast<UINT>(handles.size());
  header.phpage = handles.data();
  const INT_PTR result = PropertySheetW(&header);
  if (result <= 0) throw std::runtime_error("PropertySheetW failed");
  window_ = reinterpret_cast<HWND>(result);
  testing_support::routeKeysThrough(window_);
  pumpMessages();
}

SheetWindow::~SheetWindow() {
  close();
}

HWND SheetWindow::currentPage() const {
  return reinterpret_cast<HWND>(SendMessageW(window_, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void SheetWindow::close() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  testing_support::stopRoutingKeys(window_);
  window_ = nullptr;
  pumpMessages();
}

void PrintTo(const PageRow& row, std::ostream* out) {
  *out << "{" << row.indent << ", " << row.image << ", \"" << row.element << "\", \"" << row.value << "\"}";
}

PageContents readPage(HWND page) {
  PageContents contents;
  const HWND list = GetDlgItem(page, 1001);
  if (!list) throw std::runtime_error("the page has no list 1001");
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) contents.rows.push_back(readRow(list, i));
  contents.status = windowText(GetDlgItem(page, 1006));
  contents.elementWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
  contents.valueWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  int width = 0, height = 0;
  if (images && ImageList_GetIconSize(images, &width, &height) && width == height) contents.imageSize = width;
  return contents;
}

PageContents showPage(const ExtensionDll& dll, IDataObject* data) {
  const std::vector<HPROPSHEETPAGE> pages = pagesFor(dll.createExtension().get(), data);
  if (pages.size() != 1) {
    for (const HPROPSHEETPAGE page : pages) DestroyPropertySheetPage(page);
    throw std::runtime_error("expected one page, got " + std::to_string(pages.size()));
  }
  SheetWindow sheet(pages);
  return readPage(sheet.currentPage());
}

void pressKeys(std::initializer_list<WORD> chord) {
  std::vector<INPUT> inputs;
  for (const WORD key : chord) inputs.push_back(keyInput(key, false));
  for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) inputs.push_back(keyInput(*key, true));
  sendInputs(inputs);
}

void rightClickAt(POINT point) {
  SetCursorPos(point.x, point.y);
  INPUT down = {}, up = {};
  down.type = up.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  up.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  sendInputs({down, up});
}

MenuSeen chooseFromMenu(const std::function<void()>& open, const std::string& item) {
  MenuChoice choice;
  choice.item = item;
  menuChoice = &choice;
  const UINT_PTR timer = SetTimer(nullptr, 0, 40, stepMenuChoice);
  open();
  const bool closed = pumpUntil([&choice] {
    const HWND window = FindWindowW(L"#32768", nullptr);
    return choice.finished && !(window && IsWindowVisible(window));
  });
  KillTimer(nullptr, timer);
  menuChoice = nullptr;
  if (!choice.seen) throw std::runtime_error("no menu appeared");
  if (!closed) throw std::runtime_error("the menu did not close");
  if (!choice.error.empty()) throw std::runtime_error(choice.error);
  return *choice.seen;
}

std::string windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return brix::fromWide(text);
}

std::string windowClass(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return brix::fromWide(name);
}

bool isShownDialogOf(HWND window, DWORD process) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return owner == process && IsWindowVisible(window) && windowClass(window) == "#32770";
}

std::string moduleFileName(HMODULE module) {
  // The longest path the system takes.
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size())));
  return brix::fromWide(path);
}

std::string systemProgram(const std::string& name) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  return brix::fromWide(system) + "\\" + name;
}

ToolReport toolReport(const std::string& tool, const std::string& path) {
  return reportFromJson(nlohmann::json::parse(runProgram(tool, {"--json", path}).output).at(0));
}

ToolReport reportFromJson(const nlohmann::json& file) {
  ToolReport report{{}, file.at("status").get<std::string>()};
  for (const nlohmann::json& row : file.at("rows")) {
    const std::string value = row.at("value").is_null() ? "" : row.at("value").get<std::string>();
    report.rows.push_back(
        {row.at("indent").get<int>(), row.at("image").get<int>(), row.at("element").get<std::string>(), value});
  }
  return report;
}

}  // namespace shell_host
