#include "base/WindowsError.h"

#include "base/Win32.h"

#ifdef _WIN32
#include "base/Unicode.h"
#endif

namespace brix {
namespace {

// Releases what FormatMessage allocated, whatever happens in between.
template <typename Char>
class SystemBuffer {
 public:
  SystemBuffer() = default;
  SystemBuffer(const SystemBuffer&) = delete;
  SystemBuffer& operator=(const SystemBuffer&) = delete;
  ~SystemBuffer() {
    if (text_ != nullptr) LocalFree(text_);
  }
  Char** address() { return &text_; }
  const Char* text() const { return text_; }

 private:
  Char* text_ = nullptr;
};

constexpr DWORD lookUpFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
const DWORD userLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

// The system's text for the code, line break included, in UTF-8; false when
// the system has none. The Windows texts come as UTF-16, so a German or
// Japanese system's sentence arrives intact.
bool lookUpSystemText(std::uint32_t code, std::string& text) {
#ifdef _WIN32
  SystemBuffer<wchar_t> buffer;
  const DWORD length =
      FormatMessageW(lookUpFlags, nullptr, code, userLanguage, reinterpret_cast<LPWSTR>(buffer.address()), 0, nullptr);
  if (length == 0) return false;
  text = fromWide(std::wstring_view(buffer.text(), length));
#else
  SystemBuffer<char> buffer;
  const DWORD length =
      FormatMessageA(lookUpFlags, nullptr, code, userLanguage, reinterpret_cast<LPSTR>(buffer.address()), 0, nullptr);
  if (length == 0) return false;
  text.assign(buffer.text(), length);
#endif
  return true;
}

}  // namespace

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
  try {
    std::string systemText;
    if (lookUpSystemText(code_, systemText)) {
      // Joined without formatString's 1999-character limit: a message may
      // carry a long path.
      fullText_ = std::runtime_error::what() + (": " + systemText);
      fullTextBuilt_ = true;
    }
  } catch (...) {
    // Out of memory while building: the plain message will do.
  }
  return fullTextBuilt_ ? fullText_.c_str() : std::runtime_error::what();
}

}  // namespace brix
