#pragma once
// A host that drives "Quarnel AVI.dll" exactly as the shell does: it loads
// the DLL by file name, makes the extension through DllGetClassObject and
// the class factory, hands it a selection as CF_HDROP data, collects the
// pages AddPages adds, shows them in a real property sheet and reads back
// what the page shows, through window messages only.
#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/MessagePump.h"
#include "tests/support/ProgramRun.h"

namespace shell_host {

// Owner of one COM reference.
template <class T>
class ComRef {
 public:
  ComRef() noexcept = default;
  explicit ComRef(T* held) noexcept : held_(held) {}
  ComRef(ComRef&& other) noexcept : held_(std::exchange(other.held_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    reset(std::exchange(other.held_, nullptr));
    return *this;
  }
  ~ComRef() { reset(); }

  T* get() const noexcept { return held_; }
  T* operator->() const noexcept { return held_; }
  explicit operator bool() const noexcept { return held_ != nullptr; }
  // For out parameters: releases what is held first.
  T** put() noexcept {
    reset();
    return &held_;
  }
  void reset(T* held = nullptr) noexcept {
    if (held_) held_->Release();
    held_ = held;
  }

 private:
  T* held_ = nullptr;
};

// Where the page remembers its column widths, under HKEY_CURRENT_USER.
extern const wchar_t columnWidthsKey[];
// Removes the stored widths, key and all.
void clearColumnWidths();
// Replaces the stored widths: each one given is stored as the page stores
// it, the others are missing. Throws std::runtime_error when one can't be.
void storeColumnWidths(std::optional<DWORD> element, std::optional<DWORD> value);

using testing_support::initCommonControls;
using testing_support::pumpMessages;
using testing_support::pumpUntil;

// A data object of the host's own, as the shell hands one to Initialize:
// CF_HDROP data with the given names (UTF-8 here, UTF-16 in the data), or
// no data at all.
ComRef<IDataObject> fileDropData(const std::vector<std::string>& names);
// The same with the names as the UTF-16 the data carries, which need not be
// valid (an unpaired surrogate, say).
ComRef<IDataObject> fileDropData(const std::vector<std::wstring>& names);
ComRef<IDataObject> dataWithoutFiles();

// Collects the pages an extension adds; answers the add-page callback with
// accept.
struct PageCollector {
  std::vector<HPROPSHEETPAGE> pages;
  BOOL accept = TRUE;
  static BOOL CALLBACK add(HPROPSHEETPAGE page, LPARAM collector);
};

// The DLL, loaded for the life of this object.
class ExtensionDll {
 public:
  explicit ExtensionDll(const std::string& path);
  ~ExtensionDll();
  ExtensionDll(const ExtensionDll&) = delete;
  ExtensionDll& operator=(const ExtensionDll&) = delete;

  HMODULE module() const noexcept { return module_; }
  // An export by name, as a function of type F. Throws std::runtime_error
  // when the DLL has none of that name.
  template <class F>
  F exported(const char* name) const {
    const FARPROC found = GetProcAddress(module_, name);
    if (!found) throw std::runtime_error(std::string("no ") + name);
    return reinterpret_cast<F>(reinterpret_cast<void*>(found));
  }
  HRESULT getClassObject(const CLSID& clsid, const IID& iid, void** result) const;
  HRESULT canUnloadNow() const;
  // A new extension object, as its IShellExtInit.
  ComRef<IShellExtInit> createExtension() const;

 private:
  HMODULE module_;
};

// Initialize with the data, then AddPages: the pages added. Throws
// std::runtime_error when a call fails.
std::vector<HPROPSHEETPAGE> pagesFor(IShellExtInit* extension, IDataObject* data);
// The same for the selection of these names.
std::vector<HPROPSHEETPAGE> pagesFor(IShellExtInit* extension, const std::vector<std::string>& names);

// A modeless property sheet over the given pages, as the shell's Properties
// dialog, its keys routed through its dialog navigation; destroyed with this
// object if still open.
class SheetWindow {
 public:
  // caption: the file's name, as the shell gives it ("Properties for ...").
  explicit SheetWindow(const std::vector<HPROPSHEETPAGE>& pages, const std::string& caption = "clip.avi");
  ~SheetWindow();
  SheetWindow(const SheetWindow&) = delete;
  SheetWindow& operator=(const SheetWindow&) = delete;

  HWND handle() const noexcept { return window_; }
  // The dialog of the page on show.
  HWND currentPage() const;
  void close();

 private:
  HWND window_ = nullptr;
};

// One row of the list as the control reports it.
struct PageRow {
  int indent;
  int image;
  std::string element;
  std::string value;
  bool operator==(const PageRow& other) const {
    return indent == other.indent && image == other.image && element == other.element && value == other.value;
  }
};
// How a failing comparison of rows shows one: {indent, image, "element", "value"}.
void PrintTo(const PageRow& row, std::ostream* out);

// What the page shows.
struct PageContents {
  std::vector<PageRow> rows;
  std::string status;
  int elementWidth = 0;
  int valueWidth = 0;
  // The row images' width and height in pixels; 0 without any.
  int imageSize = 0;
};
PageContents readPage(HWND page);

// One Properties dialog: a new extension of the DLL is given the data and
// released once it has added its page, and the page is shown in a sheet,
// read and closed. Throws std::runtime_error unless exactly one page was
// added.
PageContents showPage(const ExtensionDll& dll, IDataObject* data);

// Types keys as the user does, through the system's input: each key of the
// chord goes down in order and up in reverse (pressKeys({VK_CONTROL, 'C'})).
// The keys reach the focus window once messages are dispatched.
void pressKeys(std::initializer_list<WORD> chord);
// A click with the right mouse button at a point of the screen.
void rightClickAt(POINT point);

// A pop-up menu as it was seen on the screen.
struct MenuSeen {
  std::vector<std::string> items;
  std::vector<bool> enabled;
  RECT rect = {};
};
// Runs open(), which should make a pop-up menu appear, dispatches messages
// until it does, and chooses the item with that text with the arrow keys and
// Enter (an empty text: Escape). Returns the menu as it was first seen;
// throws std::runtime_error when none appeared in time or the item is
// missing.
MenuSeen chooseFromMenu(const std::function<void()>& open, const std::string& item);

// A window's text and its class's name, in UTF-8.
std::string windowText(HWND window);
std::string windowClass(HWND window);
// Whether the window is a dialog (#32770) of that process, and visible.
bool isShownDialogOf(HWND window, DWORD process);
// The path of a loaded module, however long.
std::string moduleFileName(HMODULE module);
// A program of the system's own folder, of this process's bitness.
std::string systemProgram(const std::string& name);

using testing_support::ProgramRun;
using testing_support::runProgram;

// What the tool's --json prints for one file, in the page's terms.
struct ToolReport {
  std::vector<PageRow> rows;
  std::string status;
};
ToolReport toolReport(const std::string& tool, const std::string& path);
// One file's report as the tool's --json writes it: {"status": ..., "rows":
// [{"indent", "image", "element", "value"}, ...]}. A value of null is "":
// the list can't tell a row without a value from one with an empty value.
ToolReport reportFromJson(const nlohmann::json& file);

}  // namespace shell_host
