#include "com/ExtensionRegistration.h"

#include <objbase.h>
#include <shlobj.h>

#include <iterator>

#include "base/ModuleHandle.h"
#include "base/Unicode.h"
#include "com/ClassIds.h"

namespace {

std::string classIdText(const CLSID& clsid) {
  wchar_t text[39];
  StringFromGUID2(clsid, text, static_cast<int>(std::size(text)));
  return brix::fromWide(text);
}

brix::RegistrySet extensionRegistrySet(HKEY root) {
  return brix::RegistrySet(root, extensionRegistryEntries(brix::moduleFileName(brix::moduleHandle())));
}

}  // namespace

std::vector<brix::RegistryEntry> extensionRegistryEntries(const std::string& dllPath) {
  const std::string clsid = classIdText(clsidAVIPropertySheetExtension);
  const std::string description = brix::fromWide(aviPropertySheetExtensionDescription);
  const std::string classes = "Software\\Classes";
  const std::string approved = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
  return {
      // The class: its name, its server and the server's threading model.
      {classes + "\\CLSID", clsid, "", description},
      {classes + "\\CLSID", clsid + "\\InprocServer32", "", dllPath},
      {classes + "\\CLSID", clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
      // The page for .avi files, whatever program they are associated with.
      {classes, "SystemFileAssociations\\.avi\\shellex\\PropertySheetHandlers\\" + clsid, std::nullopt, ""},
      // For shells that load approved extensions only.
      {approved, "", clsid, description},
  };
}

void registerExtension(HKEY root) {
  extensionRegistrySet(root).write();
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void unregisterExtension(HKEY root) {
  extensionRegistrySet(root).remove();
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
