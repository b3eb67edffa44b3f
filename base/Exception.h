#pragma once
#include <exception>
#include <string>

namespace brix {

// Base of the library's own exceptions that carry nothing but a text.
class Exception : public std::exception {
 public:
  explicit Exception(const std::string& message) : message_(message) {}
  const char* what() const noexcept override;

 private:
  std::string message_;
};

}  // namespace brix
