#include "base/HResultFromException.h"

#include <new>

#include "base/COMError.h"
#include "base/WindowsError.h"

namespace brix {

namespace {
// Spelled out here: the portable build has no COM headers.
constexpr auto kOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
constexpr auto kFail = static_cast<std::int32_t>(0x80004005u);

// An exception always stands for a failure; a code that says success (a
// failing call that left no error code: HRESULT_FROM_WIN32(0) is S_OK) must
// not make the caller go on as if the work were done.
std::int32_t failureCode(std::int32_t hr) noexcept {
  return hr < 0 ? hr : kFail;
}

}  // namespace

std::int32_t hresultFromException(const std::exception& e) noexcept {
  if (dynamic_cast<const std::bad_alloc*>(&e)) return kOutOfMemory;
  if (const auto* error = dynamic_cast<const COMError*>(&e)) return failureCode(error->hresult());
  if (const auto* error = dynamic_cast<const WindowsError*>(&e)) return failureCode(error->hresult());
  return kFail;
}

}  // namespace brix
