// "Quarnel AVI.dll": the class table of the one class, and the registration
// exports. DllMain, DllGetClassObject and DllCanUnloadNow come with the
// framework's exports.
#include <objbase.h>

#include <iterator>

#include "com/AVIPropertySheetExtension.h"
#include "com/ClassIds.h"
#include "com/DllModule.h"

namespace {

const brix::ClassEntry classTable[] = {
    {&clsidAVIPropertySheetExtension, aviPropertySheetExtensionDescription,
     &brix::CreateInstanceImpl<AVIPropertySheetExtension>::createInstance},
};

}  // namespace

brix::Module brix::dllModule(classTable, std::size(classTable));

// The entries by which the shell finds the class are not written by the DLL.
STDAPI DllRegisterServer() {
  return S_OK;
}

STDAPI DllUnregisterServer() {
  return S_OK;
}
