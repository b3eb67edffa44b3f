#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Turns a text-art picture into an 8-bit-per-pixel Windows bitmap file, so
// that the row images are drawn in a reviewable text file and the bitmap
// the resources hold is made from it, byte for byte the same every time.
//
// The text: lines starting with '#' and empty lines are ignored; lines
// "colour C R G B" give the character C its colour (the palette, in this
// order, at most 256 entries); the line "pixels" is followed by the rows of
// the picture, one character per pixel, all rows of the same length.
// Throws std::runtime_error naming the line for anything else.
std::vector<std::uint8_t> bitmapFromTextArt(const std::string& text);
