#pragma once
// The AVI header structures, each kept with its 8-byte chunk id and length
// in front, exactly as laid out in the file (all little-endian).
#include <cstddef>
#include <cstdint>

#include "avi/FourCC.h"

struct AVIMAINHEADER {
  FourCC fcc;                          //  0 "avih"
  std::uint32_t cb;                    //  4 header bytes read (at most 56)
  std::uint32_t dwMicroSecPerFrame;    //  8
  std::uint32_t dwMaxBytesPerSec;      // 12
  std::uint32_t dwPaddingGranularity;  // 16
  std::uint32_t dwFlags;               // 20
  std::uint32_t dwTotalFrames;         // 24
  std::uint32_t dwInitialFrames;       // 28
  std::uint32_t dwStreams;             // 32
  std::uint32_t dwSuggestedBufferSize; // 36
  std::uint32_t dwWidth;               // 40
  std::uint32_t dwHeight;              // 44
  std::uint32_t dwReserved[4];         // 48
};
static_assert(sizeof(AVIMAINHEADER) == 64, "avih layout");
static_assert(offsetof(AVIMAINHEADER, dwStreams) == 32, "avih layout");

struct AVIEXTHEADER {
  FourCC fcc;                   //  0 "dmlh" when read, else 0
  std::uint32_t cb;             //  4 bytes read, 0 when absent
  std::uint32_t dwGrandFrames;  //  8
  std::uint32_t dwFuture[61];   // 12
};
static_assert(sizeof(AVIEXTHEADER) == 256, "dmlh layout");

struct AVISTREAMHEADER {
  FourCC fcc;                           //  0 "strh"
  std::uint32_t cb;                     //  4 always 56
  FourCC fccType;                       //  8 "vids", "auds", ...
  FourCC fccHandler;                    // 12
  std::uint32_t dwFlags;                // 16
  std::uint16_t wPriority;              // 20
  std::uint16_t wLanguage;              // 22
  std::uint32_t dwInitialFrames;        // 24
  std::uint32_t dwScale;                // 28 never 0 once read
  std::uint32_t dwRate;                 // 32 never 0 once read
  std::uint32_t dwStart;                // 36
  std::uint32_t dwLength;               // 40
  std::uint32_t dwSuggestedBufferSize;  // 44
  std::uint32_t dwQuality;              // 48
  std::uint32_t dwSampleSize;           // 52 0: one sample per chunk
  struct {
    std::int16_t left;
    std::int16_t top;
    std::int16_t right;
    std::int16_t bottom;
  } rcFrame;                            // 56
};
static_assert(sizeof(AVISTREAMHEADER) == 64, "strh layout");
static_assert(offsetof(AVISTREAMHEADER, wLanguage) == 22 && offsetof(AVISTREAMHEADER, rcFrame) == 56,
              "strh layout");

// One 16-byte entry of the legacy index (idx1), as in the file.
struct LegacyIndexEntry {
  FourCC chunkId;        //  0 e.g. 00dc, 01wb
  std::uint32_t flags;   //  4
  std::uint32_t offset;  //  8 from the movi list type
  std::uint32_t length;  // 12
};
static_assert(sizeof(LegacyIndexEntry) == 16, "idx1 entry layout");

namespace legacy_index_flags {
constexpr std::uint32_t list = 0x1;  // the entry names a list ('rec '), not a data chunk
constexpr std::uint32_t keyFrame = 0x10;
constexpr std::uint32_t noTime = 0x100;
}  // namespace legacy_index_flags
