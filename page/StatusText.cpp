#include "page/StatusText.h"

#include <new>

std::string statusText(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return "bad allocation";
  return e.what();
}
