#pragma once
#include <string>

// Text as valid UTF-8. Texts inside are UTF-8 already, but bytes from an AVI
// file, and names on Linux, need not be: bytes that do not form valid UTF-8
// are read as Latin-1, so nothing is dropped and JSON stays valid.
std::string toUtf8(const std::string& text);

// Whether text is valid UTF-8 from end to end.
bool isUtf8(const std::string& text);

// Appends the character a byte stands for in Latin-1, in UTF-8.
void appendLatin1(std::string& out, unsigned char byte);
