#include "tests/com/ShellHost.h"

#include <prsht.h>

#include <nlohmann/json.hpp>
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

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
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

// A command line argument as the C runtime splits it back.
std::wstring quoted(const std::wstring& argument) {
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

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
  const auto function =
      reinterpret_cast<GetClassObjectFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  if (!function) throw std::runtime_error("no DllGetClassObject");
  return function(clsid, iid, result);
}

HRESULT ExtensionDll::canUnloadNow() const {
  const auto function =
      reinterpret_cast<CanUnloadNowFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
  if (!function) throw std::runtime_error("no DllCanUnloadNow");
  return function();
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

std::vector<HPROPSHEETPAGE> pagesFor(IShellExtInit* extension, const std::vector<std::string>& names) {
  const ComRef<IDataObject> data = fileDropData(names);
  HRESULT hr = extension->Initialize(nullptr, data.get(), HKEY_CLASSES_ROOT);
  if (FAILED(hr)) throw std::runtime_error("Initialize failed: " + std::to_string(hr));
  ComRef<IShellPropSheetExt> sheetExtension;
  hr = extension->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(sheetExtension.put()));
  if (FAILED(hr)) throw std::runtime_error("no IShellPropSheetExt: " + std::to_string(hr));
  PageCollector collector;
  hr = sheetExtension->AddPages(&PageCollector::add, reinterpret_cast<LPARAM>(&collector));
  if (FAILED(hr)) throw std::runtime_error("AddPages failed: " + std::to_string(hr));
  return collector.pages;
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
  window_ = nullptr;
  pumpMessages();
}

PageContents readPage(HWND page) {
  PageContents contents;
  const HWND list = GetDlgItem(page, 1001);
  if (!list) throw std::runtime_error("the page has no list 1001");
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) contents.rows.push_back(readRow(list, i));
  contents.status = brix::fromWide(windowText(GetDlgItem(page, 1006)));
  contents.elementWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
  contents.valueWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
  return contents;
}

void pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool pumpUntil(bool (*done)(void*), void* context, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done(context)) {
    if (GetTickCount() - start > timeoutMs) return false;
    pumpMessages();
    Sleep(1);
  }
  return true;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::wstring commandLine = quoted(brix::toWide(program));
  for (const std::string& argument : arguments) commandLine += L" " + quoted(brix::toWide(argument));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  const BOOL started =
      CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    throw std::runtime_error("can't start " + program + ": error " + std::to_string(GetLastError()));
  }
  ProgramRun run{0, {}};
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(readEnd);
  return run;
}

ToolReport toolReport(const std::string& tool, const std::string& path) {
  const nlohmann::json file = nlohmann::json::parse(runProgram(tool, {"--json", path}).output).at(0);
  ToolReport report{{}, file.at("status").get<std::string>()};
  for (const nlohmann::json& row : file.at("rows")) {
    // The list can't tell a row without a value from one with an empty value.
    const std::string value = row.at("value").is_null() ? "" : row.at("value").get<std::string>();
    report.rows.push_back(
        {row.at("indent").get<int>(), row.at("image").get<int>(), row.at("element").get<std::string>(), value});
  }
  return report;
}

}  // namespace shell_host
