#include "tests/support/ClipboardHolder.h"

#include <cstring>
#include <stdexcept>

#include "base/Unicode.h"

namespace testing_support {

ClipboardHolder::ClipboardHolder(DWORD holdMs) {
  thread_ = std::thread([this, holdMs] {
    // The clipboard tells its users apart by their windows.
    const HWND window = CreateWindowW(L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    opened_ = OpenClipboard(window) != FALSE;
    holding_ = opened_.load();
    started_ = true;
    const DWORD start = GetTickCount();
    while (!release_ && GetTickCount() - start < holdMs) Sleep(1);
    if (opened_) CloseClipboard();
    holding_ = false;
    DestroyWindow(window);
  });
  while (!started_) Sleep(1);
}

ClipboardHolder::~ClipboardHolder() {
  release_ = true;
  thread_.join();
}

std::string clipboardText() {
  if (!OpenClipboard(nullptr)) throw std::runtime_error("can't open the clipboard");
  std::wstring text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return brix::fromWide(text);
}

void setClipboardText(const std::string& utf8) {
  const std::wstring text = brix::toWide(utf8);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!memory) throw std::runtime_error("GlobalAlloc failed");
  memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    throw std::runtime_error("can't open the clipboard");
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  CloseClipboard();
}

}  // namespace testing_support
