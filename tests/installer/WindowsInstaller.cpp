#include "tests/installer/WindowsInstaller.h"

#include <msi.h>
#include <msidefs.h>
#include <msiquery.h>

#include <algorithm>
#include <stdexcept>

#include "base/Unicode.h"
#include "tests/com/ShellHost.h"

namespace installer_test {
namespace {

// Owner of an installer handle.
class MsiHandle {
 public:
  MsiHandle() = default;
  ~MsiHandle() {
    if (handle_) MsiCloseHandle(handle_);
  }
  MsiHandle(const MsiHandle&) = delete;
  MsiHandle& operator=(const MsiHandle&) = delete;
  MSIHANDLE* put() { return &handle_; }
  MSIHANDLE get() const { return handle_; }

 private:
  MSIHANDLE handle_ = 0;
};

void check(UINT result, const std::string& what) {
  if (result != ERROR_SUCCESS) throw std::runtime_error(what + " failed: " + std::to_string(result));
}

std::string stringValue(HKEY key, const wchar_t* name) {
  wchar_t text[1024] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return brix::fromWide(text);
}

constexpr wchar_t uninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string msiexecPath() {
  return shell_host::systemProgram("msiexec.exe");
}

// The message boxes of one process: their texts, collected once each.
struct MessageBoxes {
  DWORD process;
  std::vector<HWND> answered;
  std::vector<std::string> texts;
};

BOOL CALLBACK collectText(HWND child, LPARAM texts) {
  const std::string text = shell_host::windowText(child);
  if (shell_host::windowClass(child) == "Static" && !text.empty()) {
    reinterpret_cast<std::vector<std::string>*>(texts)->push_back(text);
  }
  return TRUE;
}

BOOL CALLBACK answerMessageBox(HWND window, LPARAM boxes) {
  auto& found = *reinterpret_cast<MessageBoxes*>(boxes);
  if (!shell_host::isShownDialogOf(window, found.process)) return TRUE;
  if (std::find(found.answered.begin(), found.answered.end(), window) != found.answered.end()) return TRUE;
  found.answered.push_back(window);
  EnumChildWindows(window, &collectText, reinterpret_cast<LPARAM>(&found.texts));
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

}  // namespace

DWORD msiexec(const std::vector<std::string>& arguments) {
  return shell_host::runProgram(msiexecPath(), arguments).exitCode;
}

InstallAttempt installShowingMessages(const std::string& package) {
  std::wstring commandLine = L"msiexec.exe /i \"" + brix::toWide(package) + L"\" /qb";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(brix::toWide(msiexecPath()).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    throw std::runtime_error("can't start msiexec: error " + std::to_string(GetLastError()));
  }
  MessageBoxes boxes{process.dwProcessId, {}, {}};
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT && GetTickCount() - start < 60000) {
    EnumWindows(&answerMessageBox, reinterpret_cast<LPARAM>(&boxes));
  }
  InstallAttempt attempt{STILL_ACTIVE, boxes.texts};
  GetExitCodeProcess(process.hProcess, &attempt.exitCode);
  if (attempt.exitCode == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  if (attempt.exitCode == STILL_ACTIVE) throw std::runtime_error("msiexec /i " + package + " did not end");
  return attempt;
}

Rows packageRows(const std::string& package, const std::string& query) {
  MsiHandle database;
  // MSIDBOPEN_READONLY is a narrow string pointer that only its value means.
  check(MsiOpenDatabaseW(brix::toWide(package).c_str(), reinterpret_cast<LPCWSTR>(MSIDBOPEN_READONLY), database.put()),
        "MsiOpenDatabase");
  MsiHandle view;
  check(MsiDatabaseOpenViewW(database.get(), brix::toWide(query).c_str(), view.put()), "MsiDatabaseOpenView " + query);
  check(MsiViewExecute(view.get(), 0), "MsiViewExecute");
  Rows rows;
  for (;;) {
    MsiHandle record;
    if (MsiViewFetch(view.get(), record.put()) != ERROR_SUCCESS) return rows;
    std::vector<std::string>& row = rows.emplace_back();
    for (UINT field = 1; field <= MsiRecordGetFieldCount(record.get()); ++field) {
      wchar_t value[256] = {};
      DWORD length = 256;
      check(MsiRecordGetStringW(record.get(), field, value, &length), "MsiRecordGetString");
      row.push_back(brix::fromWide(value));
    }
  }
}

std::string packageProperty(const std::string& package, const std::string& name) {
  const Rows rows = packageRows(package, "SELECT `Value` FROM `Property` WHERE `Property` = '" + name + "'");
  if (rows.empty()) throw std::runtime_error(package + " has no property " + name);
  return rows[0].at(0);
}

std::string packageCode(const std::string& package) {
  MsiHandle summary;
  check(MsiGetSummaryInformationW(0, brix::toWide(package).c_str(), 0, summary.put()), "MsiGetSummaryInformation");
  UINT type = 0;
  INT number = 0;
  FILETIME time = {};
  wchar_t code[64] = {};
  DWORD length = 64;
  check(MsiSummaryInfoGetPropertyW(summary.get(), PID_REVNUMBER, &type, &number, &time, code, &length),
        "MsiSummaryInfoGetProperty");
  return brix::fromWide(code);
}

std::vector<std::string> installedProducts(const std::string& upgradeCode) {
  std::vector<std::string> products;
  wchar_t product[39] = {};
  while (MsiEnumRelatedProductsW(brix::toWide(upgradeCode).c_str(), 0, static_cast<DWORD>(products.size()), product) ==
         ERROR_SUCCESS) {
    products.push_back(brix::fromWide(product));
  }
  return products;
}

std::vector<UninstallEntry> uninstallEntries(const std::string& displayName) {
  std::vector<UninstallEntry> entries;
  for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY list = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, uninstallKey, 0, KEY_READ | view, &list) != ERROR_SUCCESS) continue;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (RegEnumKeyExW(list, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      HKEY entry = nullptr;
      if (RegOpenKeyExW(list, name, 0, KEY_READ | view, &entry) != ERROR_SUCCESS) continue;
      UninstallEntry found{stringValue(entry, L"DisplayName"), stringValue(entry, L"DisplayVersion"),
                           stringValue(entry, L"Publisher"), stringValue(entry, L"UninstallString")};
      RegCloseKey(entry);
      if (found.displayName == displayName) entries.push_back(found);
    }
    RegCloseKey(list);
  }
  return entries;
}

}  // namespace installer_test
