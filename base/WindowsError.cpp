#include "base/WindowsError.h"

#include "base/FormatString.h"
#include "base/Win32.h"

namespace brix {

WindowsError::WindowsError(const std::string& message) : WindowsError(GetLastError(), message) {}

WindowsError::WindowsError(std::uint32_t code, const std::string& message)
    : std::runtime_error(message), code_(code) {}

std::int32_t WindowsError::hresult() const noexcept {
  const auto value = static_cast<std::int32_t>(code_);
  if (value <= 0) return value;
  return static_cast<std::int32_t>(0x80070000u | (code_ & 0xFFFFu));
}

const char* WindowsError::what() const noexcept {
  if (fullTextBuilt_) return fullText_.c_str();
  char* systemText = nullptr;
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                                      code_, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                      reinterpret_cast<LPSTR>(&systemText), 0, nullptr);
  if (length == 0) return std::runtime_error::what();
  try {
    fullText_ = formatString("%hs: %hs", std::runtime_error::what(), systemText);
    fullTextBuilt_ = true;
  } catch (...) {
    // Out of memory while building: the plain message will do.
  }
  LocalFree(systemText);
  return fullTextBuilt_ ? fullText_.c_str() : std::runtime_error::what();
}

}  // namespace brix
