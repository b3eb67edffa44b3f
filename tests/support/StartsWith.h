#pragma once
#include <string>

namespace testing_support {

// Whether text begins with prefix. Messages end in the system's own text,
// which differs between systems and languages: tests check what comes before.
inline bool startsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

}  // namespace testing_support
