#pragma once
// Windows only: the message loop of the window tests, which run no loop of
// their own but pump this thread's queue until what they wait for happens.
#include <functional>

#include "base/Win32.h"

namespace testing_support {

// Registers the common control classes the tests' windows use (list views,
// tabs and property sheets, bars, the standard controls). Throws
// std::runtime_error when the system refuses.
void initCommonControls();

// While a sheet is routed, the keys for it pass through its dialog
// navigation first (Tab, the arrows, Enter), as in the shell's own loop.
void routeKeysThrough(HWND sheet);
void stopRoutingKeys(HWND sheet);

// Dispatches the queued messages of this thread.
void pumpMessages();
// Pumps until done() is true or timeoutMs has passed; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

}  // namespace testing_support
