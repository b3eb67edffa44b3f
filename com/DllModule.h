#pragma once
#include "com/Module.h"

namespace brix {

// The module object of the DLL being linked. Every DLL built on the framework
// defines it once, over its own class table; the exports work on it.
extern Module dllModule;

}  // namespace brix
