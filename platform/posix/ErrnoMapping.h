#pragma once
#include "platform/posix/Win32Api.h"

namespace posix {

// The Win32 error code that Windows reports for the failure errno describes.
DWORD win32ErrorFromErrno(int error);

// Records errno's Win32 code as the thread's last error.
void setLastErrorFromErrno();

}  // namespace posix
