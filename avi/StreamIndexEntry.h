#pragma once
#include <cstdint>

// Where one chunk of a stream lies and when it starts, from the legacy index.
struct StreamIndexEntry {
  enum Flags : std::uint16_t { noTime = 1, keyFrame = 2 };

  std::uint64_t position;     // absolute file position of the chunk's data
  std::uint64_t bytesBefore;  // bytes of the stream's earlier timed chunks; all ones for no-time
  double timeBefore;          // start time in seconds; -1.0 for no-time
  std::uint32_t length;
  std::uint16_t type;         // third and fourth character of the chunk id (db, dc, wb)
  std::uint16_t flags;        // Flags
};
static_assert(sizeof(StreamIndexEntry) == 32, "index records are 32 bytes");
