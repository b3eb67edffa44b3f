#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace shell_host {

// Writes 8-bit RGB pixels (rows top first, 3 bytes a pixel) as a PNG file at
// path (UTF-8), uncompressed, so that screenshots need no library. Throws
// std::runtime_error when the file can't be written.
void writePng(const std::string& path, std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgb);

}  // namespace shell_host
