#pragma once
#include <cstdint>

// Fixed-width little-endian reads from a byte buffer, whatever the host.
inline std::uint16_t readLE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t readLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::uint64_t readLE64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(readLE32(p)) | static_cast<std::uint64_t>(readLE32(p + 4)) << 32;
}
