#pragma once
#include <string>

// The system's 8-bit text as UTF-8. On Windows the text is in the ANSI code
// page and is converted from it. Elsewhere it is taken as UTF-8, and bytes
// that do not form valid UTF-8 are read as Latin-1, so nothing is dropped.
std::string toUtf8(const std::string& systemText);

// Latin-1 fallback alone, for testing on every platform.
std::string utf8WithLatin1Fallback(const std::string& bytes);
