#pragma once
// The one place that brings in the Win32 API: the real one on Windows, the
// POSIX stand-in elsewhere.

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/posix/Win32Api.h"
#endif
