#include "ui/Clipboard.h"

#include <cstring>
#include <string>

#include "base/Unicode.h"
#include "base/WindowsError.h"

namespace brix {
namespace {

constexpr int openAttempts = 10;
constexpr DWORD pauseBetweenAttempts = 30;  // milliseconds

// Memory for the clipboard, owned here until the clipboard takes it.
class ClipboardMemory : private boost::noncopyable {
 public:
  explicit ClipboardMemory(SIZE_T bytes) : memory_(GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (!memory_) throw WindowsError("Can't allocate clipboard memory");
  }
  ~ClipboardMemory() {
    if (memory_) GlobalFree(memory_);
  }
  void fill(const void* data, SIZE_T bytes) {
    void* target = GlobalLock(memory_);
    if (!target) throw WindowsError("Can't allocate clipboard memory");
    std::memcpy(target, data, bytes);
    GlobalUnlock(memory_);
  }
  HGLOBAL release() noexcept {
    const HGLOBAL memory = memory_;
    memory_ = nullptr;
    return memory;
  }
  HGLOBAL handle() const noexcept { return memory_; }

 private:
  HGLOBAL memory_;
};

std::string withWindowsLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

Clipboard::Clipboard(HWND owner) {
  for (int attempt = 1; !OpenClipboard(owner); ++attempt) {
    if (attempt == openAttempts) throw WindowsError("Can't open clipboard");
    Sleep(pauseBetweenAttempts);
  }
}

Clipboard::~Clipboard() {
  CloseClipboard();
}

void Clipboard::setText(std::string_view utf8) {
  const std::wstring text = toWide(withWindowsLineBreaks(utf8));
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  ClipboardMemory memory(bytes);
  memory.fill(text.c_str(), bytes);
  if (!EmptyClipboard()) throw WindowsError("Can't empty clipboard");
  if (!SetClipboardData(CF_UNICODETEXT, memory.handle())) throw WindowsError("Can't set clipboard data");
  // The system owns the memory from now on.
  memory.release();
}

}  // namespace brix
