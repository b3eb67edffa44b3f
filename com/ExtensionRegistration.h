#pragma once
#include <string>
#include <vector>

#include "base/Win32.h"
#include "com/RegistrySet.h"

// Every key and value by which the shell finds the extension and loads
// "Quarnel AVI.dll" from dllPath, below the root that registers it:
// HKEY_LOCAL_MACHINE for every user, HKEY_CURRENT_USER for one.
std::vector<brix::RegistryEntry> extensionRegistryEntries(const std::string& dllPath);

// Writes or removes those entries for this DLL below root, as one unit, and
// tells the shell that associations changed, so that open windows pick the
// change up without a restart. On 64-bit Windows the 64-bit and the 32-bit
// DLL each register in their own registry view, but some keys are one for
// both views: removing one DLL leaves those while the class is still
// registered in the other view.
void registerExtension(HKEY root);
void unregisterExtension(HKEY root);
