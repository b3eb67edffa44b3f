#pragma once
#include <string>

#include "avi/FourCC.h"

// Whether all four characters of a chunk id are printable ASCII (spaces
// included), as the ids of every RIFF chunk are.
bool isPrintableId(FourCC id);

// A chunk id as messages show it: its four characters in quotes ('00dc')
// when they are printable, else its bytes in file order in hexadecimal
// (0x00000000), so that no byte of a damaged file reaches a message raw.
std::string chunkIdText(FourCC id);
