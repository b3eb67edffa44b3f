#include "page/StatusText.h"

#include <new>

std::string statusText(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return "bad allocation";
  return e.what();
}

std::string statusLine(const std::string& status) {
  std::string line = status;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}
