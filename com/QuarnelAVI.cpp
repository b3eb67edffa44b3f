// "Quarnel AVI.dll": the class table of the one class, and the registration
// exports. DllMain, DllGetClassObject and DllCanUnloadNow come with the
// framework's exports.
#include <objbase.h>

#include <exception>
#include <iterator>
#include <string>

#include "base/HResultFromException.h"
#include "base/Unicode.h"
#include "com/AVIPropertySheetExtension.h"
#include "com/ClassIds.h"
#include "com/DllModule.h"
#include "com/ExtensionRegistration.h"

namespace {

const brix::ClassEntry classTable[] = {
    {&clsidAVIPropertySheetExtension, aviPropertySheetExtensionDescription,
     &brix::CreateInstanceImpl<AVIPropertySheetExtension>::createInstance},
};

}  // namespace

brix::Module brix::dllModule(classTable, std::size(classTable));

namespace {

template <class Action>
HRESULT guarded(Action action) {
  try {
    action();
    return S_OK;
  } catch (const std::exception& e) {
    return brix::hresultFromException(e);
  }
}

// Whether the command line of DllInstall asks for the current user only:
// "user", as regsvr32 /n /i:user passes it, in any case.
bool forCurrentUser(PCWSTR commandLine) {
  if (!commandLine) return false;
  std::string text = brix::fromWide(commandLine);
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text == "user";
}

}  // namespace

// For every user of the machine; needs the rights to write the machine's
// part of the registry.
STDAPI DllRegisterServer() {
  return guarded([] { registerExtension(HKEY_LOCAL_MACHINE); });
}

STDAPI DllUnregisterServer() {
  return guarded([] { unregisterExtension(HKEY_LOCAL_MACHINE); });
}

// regsvr32 /n /i:user installs for the current user only, without
// administrator rights; regsvr32 /u /n /i:user removes that again.
STDAPI DllInstall(BOOL install, PCWSTR commandLine) {
  if (!forCurrentUser(commandLine)) return E_INVALIDARG;
  return guarded(
      [install] { install ? registerExtension(HKEY_CURRENT_USER) : unregisterExtension(HKEY_CURRENT_USER); });
}
