#include "base/COMError.h"

#include "base/HResultName.h"

namespace brix {

COMError::COMError(std::int32_t hr) : std::runtime_error(hresultName(hr)), hresult_(hr) {}

}  // namespace brix
