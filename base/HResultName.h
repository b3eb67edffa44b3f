#pragma once
#include <cstdint>
#include <string>

namespace brix {

// The symbolic name of hr from the constant name table, or "Unknown HRESULT
// value " and the 32-bit pattern in lower-case hexadecimal without leading
// zeros. The whole value is the key: no masking of severity or facility.
std::string hresultName(std::int32_t hr);

}  // namespace brix
