#include "tests/com/RealShell.h"

#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <iterator>
#include <stdexcept>

#include "base/Unicode.h"

namespace shell_host {
namespace {

constexpr wchar_t aviAssociations[] = L"SystemFileAssociations\\.avi";
constexpr DWORD sheetTimeoutMs = 10000;

// The system's regsvr32, of this process's bitness: its exit code is 0 when
// the DLL's export succeeded.
DWORD regsvr32(const std::vector<std::string>& arguments) {
  return runProgram(systemProgram("regsvr32.exe"), arguments).exitCode;
}

// A property sheet: a dialog of this process with a tab control of its own.
BOOL CALLBACK findSheet(HWND window, LPARAM found) {
  if (!isShownDialogOf(window, GetCurrentProcessId())) return TRUE;
  if (!FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The sheet on show, if any.
HWND findSheetWindow() {
  HWND sheet = nullptr;
  EnumWindows(&findSheet, reinterpret_cast<LPARAM>(&sheet));
  return sheet;
}

std::vector<std::string> tabTitles(HWND sheet) {
  const auto tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
  std::vector<std::string> titles;
  const auto count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    titles.push_back(brix::fromWide(text));
  }
  return titles;
}

// One look for the sheet, from a timer while the shell's modal loop runs
// and from the loop below once InvokeCommand has returned.
struct Watch {
  const std::function<void(HWND)>* whileOpen = nullptr;
  PropertiesDialog result;
  bool done = false;
  DWORD start = GetTickCount();
  std::string failure;
};
Watch* currentWatch = nullptr;

void look(Watch& watch) {
  if (watch.done) return;
  const HWND sheet = findSheetWindow();
  if (!sheet) {
    watch.done = GetTickCount() - watch.start > sheetTimeoutMs;
    return;
  }
  watch.done = true;
  watch.result.shown = true;
  try {
    watch.result.tabs = tabTitles(sheet);
    for (std::size_t i = 0; i < watch.result.tabs.size(); ++i) {
      if (watch.result.tabs[i] != "AVI") continue;
      SendMessageW(sheet, PSM_SETCURSEL, i, 0);
      watch.result.avi = readPage(reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)));
    }
    if (*watch.whileOpen) (*watch.whileOpen)(sheet);
  } catch (const std::exception& e) {
    watch.failure = e.what();
  }
  PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void CALLBACK lookFromTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (currentWatch) look(*currentWatch);
}

// The context menu of the file's item in its folder.
ComRef<IContextMenu> contextMenuOf(const std::string& path) {
  PIDLIST_ABSOLUTE item = nullptr;
  HRESULT hr = SHParseDisplayName(brix::toWide(path).c_str(), nullptr, &item, 0, nullptr);
  if (FAILED(hr)) throw std::runtime_error("SHParseDisplayName failed for " + path + ": " + std::to_string(hr));
  ComRef<IShellFolder> folder;
  PCUITEMID_CHILD child = nullptr;
  hr = SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(folder.put()), &child);
  ComRef<IContextMenu> menu;
  if (SUCCEEDED(hr)) {
    hr = folder->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr, reinterpret_cast<void**>(menu.put()));
  }
  CoTaskMemFree(item);
  if (FAILED(hr)) throw std::runtime_error("no context menu for " + path + ": " + std::to_string(hr));
  return menu;
}

}  // namespace

Regsvr32Registration::Regsvr32Registration(const std::string& dll, const std::vector<std::string>& options)
    : arguments_(options) {
  arguments_.insert(arguments_.begin(), "/s");
  arguments_.push_back(dll);
  if (regsvr32(arguments_) != 0) throw std::runtime_error("regsvr32 failed for " + dll);
  registered_ = true;
  arguments_.insert(arguments_.begin(), "/u");
}

Regsvr32Registration::~Regsvr32Registration() {
  if (registered_) regsvr32(arguments_);
}

void Regsvr32Registration::unregister() {
  registered_ = false;
  if (regsvr32(arguments_) != 0) throw std::runtime_error("regsvr32 /u failed for " + arguments_.back());
}

WineAviAssociation::WineAviAssociation()
    : mapping_(HKEY_CLASSES_ROOT, ".avi", "", REG_SZ, aviAssociations, sizeof aviAssociations) {}

PropertiesDialog openProperties(const std::string& path, const std::function<void(HWND)>& whileOpen) {
  const ComRef<IContextMenu> menu = contextMenuOf(path);
  Watch watch;
  watch.whileOpen = &whileOpen;
  currentWatch = &watch;
  // The shell may show the sheet modally, inside InvokeCommand: then only a
  // timer of this thread gets to look at it.
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &lookFromTimer);
  CMINVOKECOMMANDINFO command = {};
  command.cbSize = sizeof command;
  command.lpVerb = "properties";
  command.nShow = SW_SHOWNORMAL;
  const HRESULT hr = menu->InvokeCommand(&command);
  pumpUntil(
      [&watch] {
        look(watch);
        return watch.done;
      },
      sheetTimeoutMs + 1000);
  pumpUntil([] { return !findSheetWindow(); });
  KillTimer(nullptr, timer);
  currentWatch = nullptr;
  if (FAILED(hr)) throw std::runtime_error("InvokeCommand(\"properties\") failed: " + std::to_string(hr));
  if (!watch.failure.empty()) throw std::runtime_error(watch.failure);
  return watch.result;
}

}  // namespace shell_host
