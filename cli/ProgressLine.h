#pragma once
#include <cstddef>
#include <string>

// A line on a terminal that is written over in place. It has no control
// sequences, only a carriage return and spaces, so every console shows it.
class ProgressLine {
 public:
  // The text that replaces the line with text.
  std::string show(const std::string& text);
  // The text that blanks the line and puts the cursor at its start, so the
  // next output starts on a clean line; empty when nothing is shown.
  std::string clear();
  bool shown() const { return width_ != 0; }

 private:
  std::size_t width_ = 0;  // characters written on the line, spaces included
};
