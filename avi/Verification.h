#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the verification of one stream found before the pass ended.
struct VerifiedStream {
  std::uint64_t chunks = 0;
  std::uint64_t bytes = 0;
  // Seconds the chunks cover, by the rule of the index summary.
  double duration = 0.0;
  // Seconds the stream lasts by the headers: its OpenDML super index, else
  // its stream header's length.
  double length = 0.0;
};

// What a verification of a whole file found: "Ok", or the first problem
// and the byte position at which it lies; for each stream what was found
// sound before it; and how much of the file that is, as the time up to
// which the longest stream is sound against how long it lasts.
struct Verification {
  bool ok = false;
  // Stopped before the end; the status says where.
  bool cancelled = false;
  std::string status;
  std::optional<std::uint64_t> position;
  std::vector<VerifiedStream> streams;
  double soundUpTo = 0.0;
  double length = 0.0;
};
