// The entry points of an in-process server, compiled into each DLL built on
// the framework and exported by name through the DLL's .def file.
#include <objbase.h>

#include "com/DllModule.h"
#include "base/ModuleHandle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) brix::setModuleHandle(instance);
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* result) {
  return brix::dllModule.getClassObject(clsid, iid, result);
}

STDAPI DllCanUnloadNow() {
  return brix::dllModule.canUnloadNow();
}
