#pragma once
#include <boost/noncopyable.hpp>

#include "base/Win32.h"

namespace brix {

// Sole owner of one activation context (Windows only): the side-by-side
// assemblies a manifest asks for, common controls 6.0 above all. A DLL's
// windows get those only where the DLL's own context is active, since the
// host's may ask for other versions or for none.
class ActivationContext : private boost::noncopyable {
 public:
  // The context of the manifest resource resourceId of module. Throws
  // WindowsError "Can't create activation context".
  ActivationContext(HMODULE module, WORD resourceId);
  ~ActivationContext();

  HANDLE handle() const noexcept { return context_; }

  // The context of this module's own manifest (resource 2, the one the
  // loader reads for a DLL's imports), made on first use and kept until the
  // module unloads. Throws as the constructor; a later call tries again.
  static const ActivationContext& ofModule();

 private:
  HANDLE context_;
};

}  // namespace brix
