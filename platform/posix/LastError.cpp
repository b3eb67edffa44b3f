#include "platform/posix/Win32Api.h"

namespace {
// Like Windows, the last error is per thread.
thread_local DWORD lastError = 0;
}  // namespace

DWORD WINAPI GetLastError() { return lastError; }

void WINAPI SetLastError(DWORD code) { lastError = code; }
