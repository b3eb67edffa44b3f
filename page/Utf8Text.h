#pragma once
#include <string>

// Text as valid UTF-8. Texts inside are UTF-8 already, but bytes from an AVI
// file, and names on Linux, need not be: bytes that do not form valid UTF-8
// are read as Latin-1, so nothing is dropped and JSON stays valid.
std::string toUtf8(const std::string& text);
