#include "base/HResultFromException.h"

#include <new>

#include "base/COMError.h"
#include "base/WindowsError.h"

namespace brix {

namespace {
// Spelled out here: the portable build has no COM headers.
constexpr auto kOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
constexpr auto kFail = static_cast<std::int32_t>(0x80004005u);
}  // namespace

std::int32_t hresultFromException(const std::exception& e) noexcept {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return kOutOfMemory;
  if (const auto* error = dynamic_cast<const COMError*>(&e)) return error->hresult();
  if (const auto* error = dynamic_cast<const WindowsError*>(&e)) return error->hresult();
  return kFail;
}

}  // namespace brix
