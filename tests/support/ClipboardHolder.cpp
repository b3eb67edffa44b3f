#include "tests/support/ClipboardHolder.h"

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

}  // namespace testing_support
