#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace brix {

// A failing platform call: the caller's text plus the system's error code.
// what() appends ": " and the system's text for the code, looked up once and
// kept (a copy keeps it too); without a system text it is the plain message.
class WindowsError : public std::runtime_error {
 public:
  // Takes the thread's last error, so build it right after the failing call.
  explicit WindowsError(const std::string& message);
  WindowsError(std::uint32_t code, const std::string& message);

  const char* what() const noexcept override;

  std::uint32_t code() const noexcept { return code_; }
  // The code as an HRESULT: 0 and negative values unchanged, otherwise
  // 0x80070000 | (code & 0xFFFF).
  std::int32_t hresult() const noexcept;

 private:
  std::uint32_t code_;
  mutable std::string fullText_;
  mutable bool fullTextBuilt_ = false;
};

}  // namespace brix
