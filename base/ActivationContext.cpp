#include "base/ActivationContext.h"

#include "base/ModuleHandle.h"
#include "base/WindowsError.h"

namespace brix {

ActivationContext::ActivationContext(HMODULE module, WORD resourceId) {
  ACTCTXW description = {};
  description.cbSize = sizeof description;
  description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  description.hModule = module;
  description.lpResourceName = MAKEINTRESOURCEW(resourceId);
  context_ = CreateActCtxW(&description);
  if (context_ == INVALID_HANDLE_VALUE) throw WindowsError("Can't create activation context");
}

ActivationContext::~ActivationContext() {
  ReleaseActCtx(context_);
}

const ActivationContext& ActivationContext::ofModule() {
  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID, as a number.
  static const ActivationContext context(moduleHandle(), 2);
  return context;
}

}  // namespace brix
