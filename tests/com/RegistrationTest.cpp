// The registration exports of "Quarnel AVI.dll", loaded from a folder whose
// name has spaces and characters beyond ASCII. HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER are redirected for this process to two scratch keys
// (RegOverridePredefKey), so each test sees exactly what the DLL writes,
// and where, and can make a key unwritable without touching the prefix.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/FormatString.h"
#include "base/Unicode.h"
#include "tests/com/DllCopy.h"
#include "tests/com/RegistryContents.h"
#include "tests/com/ShellHost.h"

namespace {

using Lines = shell_host::RegistryLines;
using shell_host::putRegistryValue;
using shell_host::registryContents;
using shell_host::sorted;

constexpr char clsid[] = "{C81B959F-8750-4E75-89FE-F44CB8354139}";
constexpr char other[] = "{0F6D1B0C-6C2E-4B7A-9D43-2B1E5A7C9E11}";
constexpr char classes[] = "Software\\Classes";
constexpr char approved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

std::string handlers() {
  return std::string(classes) + "\\SystemFileAssociations\\.avi\\shellex\\PropertySheetHandlers";
}
std::string server() {
  return std::string(classes) + "\\CLSID\\" + clsid;
}

// Exactly what each mode writes below its root: every value, and the key
// that holds nothing.
Lines registered(const std::string& dllPath) {
  return {
      server() + " @ = REG_SZ \"Quarnel AVI Property Sheet Extension\"",
      server() + "\\InprocServer32 @ = REG_SZ \"" + dllPath + "\"",
      server() + "\\InprocServer32 ThreadingModel = REG_SZ \"Apartment\"",
      handlers() + "\\" + clsid,
      std::string(approved) + " " + clsid + " = REG_SZ \"Quarnel AVI Property Sheet Extension\"",
  };
}

// What stays after removal: the keys others use too.
Lines unregistered() {
  return {std::string(classes) + "\\CLSID", approved};
}

// A key that can be read but neither written nor given sub-keys.
void putReadOnly(HKEY root, const std::string& path) {
  putRegistryValue(root, path);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(root, brix::toWide(path).c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPLICIT_ACCESSW readOnly = {};
  readOnly.grfAccessPermissions = KEY_READ;
  readOnly.grfAccessMode = SET_ACCESS;
  readOnly.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
  readOnly.Trustee.ptstrName = const_cast<wchar_t*>(L"EVERYONE");
  PACL acl = nullptr;
  ASSERT_EQ(SetEntriesInAclW(1, &readOnly, nullptr, &acl), ERROR_SUCCESS);
  EXPECT_EQ(SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, acl, nullptr),
            ERROR_SUCCESS);
  LocalFree(acl);
  RegCloseKey(key);
}

// A key whose sub-keys can only be volatile: a lasting one can't be made.
// Its parents are made lasting first, or they would be volatile too.
void putVolatile(HKEY root, const std::string& path) {
  putRegistryValue(root, path.substr(0, path.rfind('\\')));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, brix::toWide(path).c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

using Registration = HRESULT(STDAPICALLTYPE*)();
using Install = HRESULT(STDAPICALLTYPE*)(BOOL, PCWSTR);

// The registration exports of one loaded DLL; throws when one is missing.
struct Exports {
  explicit Exports(const shell_host::ExtensionDll& dll)
      : registerServer(dll.exported<Registration>("DllRegisterServer")),
        unregisterServer(dll.exported<Registration>("DllUnregisterServer")),
        install(dll.exported<Install>("DllInstall")) {}
  Registration registerServer;
  Registration unregisterServer;
  Install install;
};

class RegistrationTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    copy = new shell_host::DllCopy(QUARNEL_DLL);
    dll = new shell_host::ExtensionDll(copy->path());
  }
  static void TearDownTestSuite() {
    delete dll;
    delete copy;
  }

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch = brix::formatString("Software\\Quarnel AVI tests\\%s-%lu", info->name(), GetCurrentProcessId());
    for (HKEY* root : {&machine, &user}) {
      const std::string path = scratch + (root == &machine ? "\\machine" : "\\user");
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root, nullptr),
                ERROR_SUCCESS);
    }
    ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user), ERROR_SUCCESS);
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(machine);
    RegCloseKey(user);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratch.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quarnel AVI tests");
  }

  // The two ways to register: per machine with the plain exports, per user
  // with DllInstall, as regsvr32 /n /i:user calls it.
  struct Mode {
    const char* name;
    std::function<HRESULT()> add, remove;
    HKEY root, otherRoot;
  };
  std::vector<Mode> modes() {
    return {
        {"per machine", exports.registerServer, exports.unregisterServer, machine, user},
        {"per user", [this] { return exports.install(TRUE, L"user"); },
         [this] { return exports.install(FALSE, L"user"); }, user, machine},
    };
  }

  void clear() {
    for (HKEY root : {machine, user}) {
      ASSERT_EQ(RegDeleteTreeW(root, nullptr), ERROR_SUCCESS);
    }
  }

  static shell_host::DllCopy* copy;
  static shell_host::ExtensionDll* dll;
  Exports exports{*dll};
  std::string scratch;
  HKEY machine = nullptr;
  HKEY user = nullptr;
};

shell_host::DllCopy* RegistrationTest::copy = nullptr;
shell_host::ExtensionDll* RegistrationTest::dll = nullptr;

TEST_F(RegistrationTest, EachModeWritesItsEntriesOnceAndRemovesThemAgain) {
  for (const Mode& mode : modes()) {
    SCOPED_TRACE(mode.name);
    clear();
    // Twice over: a second run finds everything in place and changes nothing.
    for (int run = 1; run <= 2; ++run) {
      EXPECT_EQ(mode.add(), S_OK) << "run " << run;
      EXPECT_EQ(registryContents(mode.root), sorted(registered(copy->path()))) << "run " << run;
      EXPECT_EQ(registryContents(mode.otherRoot), Lines{}) << "run " << run;
    }
    for (int run = 1; run <= 2; ++run) {
      EXPECT_EQ(mode.remove(), S_OK) << "run " << run;
      EXPECT_EQ(registryContents(mode.root), sorted(unregistered())) << "run " << run;
      EXPECT_EQ(registryContents(mode.otherRoot), Lines{}) << "run " << run;
    }
    // Removal of what was never written.
    clear();
    EXPECT_EQ(mode.remove(), S_OK);
    EXPECT_EQ(registryContents(mode.root), Lines{});
  }
}

TEST_F(RegistrationTest, WhatOthersWroteStays) {
  for (const Mode& mode : modes()) {
    SCOPED_TRACE(mode.name);
    clear();
    const HKEY root = mode.root;
    // Another class, another handler, another approved extension, another
    // value beside the handlers and something another program keeps below
    // this class's key.
    putRegistryValue(root, std::string(classes) + "\\CLSID\\" + other, "", "Another extension");
    putRegistryValue(root, handlers() + "\\" + other);
    putRegistryValue(root, std::string(classes) + "\\SystemFileAssociations\\.avi", "PerceivedType", "video");
    putRegistryValue(root, approved, other, "Another extension");
    putRegistryValue(root, server() + "\\Implemented Categories", "Note", "kept");
    const Lines before = registryContents(root);

    ASSERT_EQ(mode.add(), S_OK);
    Lines expected = before;
    for (const std::string& line : registered(copy->path())) expected.push_back(line);
    EXPECT_EQ(registryContents(root), sorted(expected));
    ASSERT_EQ(mode.remove(), S_OK);
    EXPECT_EQ(registryContents(root), before);
  }
}

TEST_F(RegistrationTest, AFailureHalfWayLeavesTheRegistryAsItWas) {
  const struct {
    const char* what;
    void (*prepare)(HKEY root);
    HRESULT expected;
  } cases[] = {
      {"the approved list can't be written", [](HKEY root) { putReadOnly(root, approved); },
       HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)},
      {"the file associations take volatile keys only",
       [](HKEY root) { putVolatile(root, std::string(classes) + "\\SystemFileAssociations"); },
       HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE)},
      {"over an earlier registration from elsewhere",
       [](HKEY root) {
         putRegistryValue(root, server(), "", "Quarnel AVI Property Sheet Extension");
         putRegistryValue(root, server() + "\\InprocServer32", "", "%ProgramFiles%\\Quarnel AVI\\Quarnel AVI.dll",
                          REG_EXPAND_SZ);
         putRegistryValue(root, server() + "\\InprocServer32", "ThreadingModel", "Both");
         putRegistryValue(root, handlers() + "\\" + clsid);
         putReadOnly(root, approved);
       },
       HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)},
  };
  for (const Mode& mode : modes()) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(mode.name) + ", " + c.what);
      clear();
      c.prepare(mode.root);
      const Lines before = registryContents(mode.root);
      EXPECT_EQ(mode.add(), c.expected);
      EXPECT_EQ(registryContents(mode.root), before);
      EXPECT_EQ(registryContents(mode.otherRoot), Lines{});
    }
  }
}

TEST_F(RegistrationTest, DllInstallTakesUserAndNothingElse) {
  const wchar_t* refused[] = {nullptr, L"", L"machine", L"user ", L" user", L"users", L"/i:user", L"us"};
  for (const wchar_t* commandLine : refused) {
    SCOPED_TRACE(commandLine ? brix::fromWide(commandLine) : "(null)");
    clear();
    putRegistryValue(user, approved, other, "Another extension");
    const Lines before = registryContents(user);
    EXPECT_EQ(exports.install(TRUE, commandLine), E_INVALIDARG);
    EXPECT_EQ(exports.install(FALSE, commandLine), E_INVALIDARG);
    EXPECT_EQ(registryContents(user), before);
    EXPECT_EQ(registryContents(machine), Lines{});
  }
  // As on any Windows command line, the case does not matter.
  clear();
  EXPECT_EQ(exports.install(TRUE, L"User"), S_OK);
  EXPECT_EQ(registryContents(user), sorted(registered(copy->path())));
  EXPECT_EQ(exports.install(FALSE, L"USER"), S_OK);
  EXPECT_EQ(registryContents(user), sorted(unregistered()));
}

// A window of the kind the shell keeps, counting the change notices it gets.
int notices = 0;
constexpr UINT noticeMessage = WM_APP + 1;

LRESULT CALLBACK countNotices(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == noticeMessage) ++notices;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(RegistrationTest, TheShellHearsThatAssociationsChanged) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = &countNotices;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Quarnel AVI notice counter";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  SHChangeNotifyEntry everything = {nullptr, TRUE};
  const ULONG registration =
      SHChangeNotifyRegister(window, SHCNRF_ShellLevel, SHCNE_ASSOCCHANGED, noticeMessage, 1, &everything);
  ASSERT_NE(registration, 0u);

  for (const Mode& mode : modes()) {
    SCOPED_TRACE(mode.name);
    for (const auto& call : {mode.add, mode.remove}) {
      notices = 0;
      ASSERT_EQ(call(), S_OK);
      shell_host::pumpUntil([] { return notices > 0; }, 2000);
      EXPECT_EQ(notices, 1);
    }
  }
  SHChangeNotifyDeregister(registration);
  DestroyWindow(window);
}

TEST_F(RegistrationTest, APathLongerThanMaxPathIsRegisteredWhole) {
  shell_host::DllCopy deep(QUARNEL_DLL, 600);
  std::string registeredPath;
  {
    const shell_host::ExtensionDll longDll(deep.path());
    // The path as the system knows the module, without a length limit.
    registeredPath = shell_host::moduleFileName(longDll.module());
    ASSERT_GT(brix::utf8ToUtf16(registeredPath).size(), 600u);
    const Exports longExports(longDll);
    ASSERT_EQ(longExports.registerServer(), S_OK);
  }
  EXPECT_EQ(registryContents(machine), sorted(registered(registeredPath)));
}

// The machine's real registry, which has two views (a redirected root has
// none): each view's class key is its own, the file type's handler key is
// one for both on 64-bit Windows, so removing one DLL keeps the handler
// while the class is still registered for the other. Under Wine the handler
// key is per view too; the rule is the same.
TEST(SharedRegistryKeys, RemovingOneDllKeepsTheHandlerWhileTheOtherViewHasTheClass) {
  const shell_host::ExtensionDll dll(QUARNEL_DLL);
  const Exports exports(dll);
  const std::string handler = handlers() + "\\" + clsid;
  const struct {
    const char* what;
    bool otherViewRegistered;
  } cases[] = {{"the 32-bit DLL registered too", true}, {"the 64-bit DLL alone", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(exports.registerServer(), S_OK);
    if (c.otherViewRegistered) {
      putRegistryValue(HKEY_LOCAL_MACHINE, server(), "", "Quarnel AVI Property Sheet Extension", REG_SZ,
                       KEY_WOW64_32KEY);
      putRegistryValue(HKEY_LOCAL_MACHINE, server() + "\\InprocServer32", "",
                       "C:\\Program Files (x86)\\Quarnel AVI\\Quarnel AVI.dll", REG_SZ, KEY_WOW64_32KEY);
    }
    EXPECT_EQ(exports.unregisterServer(), S_OK);
    EXPECT_EQ(registryContents(HKEY_LOCAL_MACHINE, handler, KEY_WOW64_64KEY).empty(), !c.otherViewRegistered);
    // Its own view's class and approval go in either case.
    EXPECT_EQ(registryContents(HKEY_LOCAL_MACHINE, server(), KEY_WOW64_64KEY), Lines{});
    for (const std::string& line : registryContents(HKEY_LOCAL_MACHINE, approved, KEY_WOW64_64KEY)) {
      EXPECT_EQ(line.find(clsid), std::string::npos) << line;
    }
    for (const std::string& key : {server() + "\\InprocServer32", server()}) {
      RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_32KEY, 0);
    }
    EXPECT_EQ(exports.unregisterServer(), S_OK);
    EXPECT_EQ(registryContents(HKEY_LOCAL_MACHINE, handler, KEY_WOW64_64KEY), Lines{});
  }
}

}  // namespace
