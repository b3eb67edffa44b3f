#include "com/ExtensionRegistration.h"

#include <objbase.h>
#include <shlobj.h>

#include <iterator>

#include "base/ModuleHandle.h"
#include "base/RegistryKey.h"
#include "base/Unicode.h"
#include "base/WindowsError.h"
#include "com/ClassIds.h"

namespace {

const char classes[] = "Software\\Classes";

std::string classIdText(const CLSID& clsid) {
  wchar_t text[39];
  StringFromGUID2(clsid, text, static_cast<int>(std::size(text)));
  return brix::fromWide(text);
}

// The registration in the groups that 64-bit Windows keeps apart: each of
// its two registry views (the 64-bit DLL's and the 32-bit DLL's) has a class
// key of its own, while the file type's handler key is one key for both,
// and so is the approval below HKEY_CURRENT_USER (HKEY_LOCAL_MACHINE has one
// approval per view).
struct ExtensionEntries {
  std::vector<brix::RegistryEntry> server;
  std::vector<brix::RegistryEntry> handler;
  std::vector<brix::RegistryEntry> approval;
};

ExtensionEntries extensionEntries(const std::string& dllPath) {
  const std::string clsid = classIdText(clsidAVIPropertySheetExtension);
  const std::string description = brix::fromWide(aviPropertySheetExtensionDescription);
  const std::string clsids = std::string(classes) + "\\CLSID";
  return {
      // The class: its name, its server and the server's threading model.
      {{clsids, clsid, "", description},
       {clsids, clsid + "\\InprocServer32", "", dllPath},
       {clsids, clsid + "\\InprocServer32", "ThreadingModel", "Apartment"}},
      // The page for .avi files, whatever program they are associated with.
      {{classes, "SystemFileAssociations\\.avi\\shellex\\PropertySheetHandlers\\" + clsid, std::nullopt, ""}},
      // For shells that load approved extensions only.
      {{"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", "", clsid, description}},
  };
}

std::string thisDllPath() {
  return brix::moduleFileName(brix::moduleHandle());
}

// Whether the class has a server in the registry view that the other DLL
// writes: the 32-bit view for the 64-bit DLL, and the other way round. On
// 32-bit Windows there is one view, whose server the caller has just removed.
bool registeredInOtherView(HKEY root) {
  constexpr REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  const std::string server =
      std::string(classes) + "\\CLSID\\" + classIdText(clsidAVIPropertySheetExtension) + "\\InprocServer32";
  try {
    const brix::RegistryKey key(root, server.c_str(), KEY_READ | otherView);
    return true;
  } catch (const brix::WindowsError& e) {
    if (e.code() == ERROR_FILE_NOT_FOUND) return false;
    throw;
  }
}

}  // namespace

std::vector<brix::RegistryEntry> extensionRegistryEntries(const std::string& dllPath) {
  ExtensionEntries entries = extensionEntries(dllPath);
  std::vector<brix::RegistryEntry> all = std::move(entries.server);
  all.insert(all.end(), entries.handler.begin(), entries.handler.end());
  all.insert(all.end(), entries.approval.begin(), entries.approval.end());
  return all;
}

void registerExtension(HKEY root) {
  brix::RegistrySet(root, extensionRegistryEntries(thisDllPath())).write();
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void unregisterExtension(HKEY root) {
  const ExtensionEntries entries = extensionEntries(thisDllPath());
  const bool approvalShared = root != HKEY_LOCAL_MACHINE;
  brix::RegistrySet(root, entries.server).remove();
  if (!approvalShared) brix::RegistrySet(root, entries.approval).remove();
  // What both views share stays while the other DLL still needs it.
  if (!registeredInOtherView(root)) {
    brix::RegistrySet(root, entries.handler).remove();
    if (approvalShared) brix::RegistrySet(root, entries.approval).remove();
  }
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
