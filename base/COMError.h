#pragma once
#include <cstdint>
#include <stdexcept>

namespace brix {

// A failure reported as an HRESULT. Its text is the code's symbolic name (or
// its numeric form), so a caller that only shows what() still says something.
class COMError : public std::runtime_error {
 public:
  explicit COMError(std::int32_t hr);

  std::int32_t hresult() const noexcept { return hresult_; }

 private:
  std::int32_t hresult_;
};

}  // namespace brix
