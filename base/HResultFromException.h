#pragma once
#include <cstdint>
#include <exception>

namespace brix {

// The one conversion of a caught exception into the HRESULT a COM method
// returns, by the dynamic type of e, tested in this order:
//   std::bad_alloc          E_OUTOFMEMORY (0x8007000E)
//   brix::COMError          its hresult()
//   brix::WindowsError      its hresult(), the Win32 code in HRESULT form
//   anything else           E_FAIL (0x80004005)
// The result is always a failure: where the code says success (a
// WindowsError whose code is 0, a COMError of S_OK or S_FALSE), E_FAIL.
std::int32_t hresultFromException(const std::exception& e) noexcept;

}  // namespace brix
