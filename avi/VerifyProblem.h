#pragma once
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

// The first thing found wrong with a file in a verification, and the byte
// position at which the file stops being what its structure and indexes
// say. The message names the position too, in decimal.
class VerifyProblem : public std::runtime_error {
 public:
  VerifyProblem(std::uint64_t position, const std::string& message)
      : std::runtime_error(message), position_(position) {}

  std::uint64_t position() const noexcept { return position_; }

 private:
  std::uint64_t position_;
};

// A read that failed at position, with the platform's text.
inline VerifyProblem unreadableAt(std::uint64_t position, const std::exception& e) {
  return VerifyProblem(position, "The file can't be read at position " + std::to_string(position) + ": " + e.what());
}
