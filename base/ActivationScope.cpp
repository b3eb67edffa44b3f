#include "base/ActivationScope.h"

#include "base/WindowsError.h"

namespace brix {

ActivationScope::ActivationScope(HANDLE context) {
  if (!context) return;
  if (!ActivateActCtx(context, &cookie_)) throw WindowsError("Can't activate activation context");
  active_ = true;
}

ActivationScope::~ActivationScope() {
  // Fails only for a cookie out of turn, which nesting in blocks rules out.
  if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace brix
