#include "base/ModuleHandle.h"

#include "base/Unicode.h"
#include "base/WindowsError.h"

namespace brix {

namespace {
HINSTANCE handle = nullptr;
}  // namespace

HINSTANCE moduleHandle() noexcept {
  return handle;
}

void setModuleHandle(HINSTANCE instance) noexcept {
  handle = instance;
}

std::string moduleFileName(HMODULE module) {
  // A path that does not fit is cut short without a terminator, or reported
  // with ERROR_INSUFFICIENT_BUFFER: either way the buffer must grow.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) throw WindowsError("Can't get module file name");
    if (length < path.size()) {
      path.resize(length);
      return fromWide(path);
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace brix
