#include "base/HResultName.h"

#include <algorithm>
#include <charconv>

#include "base/HResultNameTable.h"

namespace brix {

static_assert(isStrictlyAscending(hresultNameTable.data(), hresultNameTable.data() + hresultNameTable.size()),
              "the name table must be sorted by value, each value once");

std::string hresultName(std::int32_t hr) {
  const auto value = static_cast<std::uint32_t>(hr);
  const auto found =
      std::lower_bound(hresultNameTable.begin(), hresultNameTable.end(), value,
                       [](const HResultNameEntry& entry, std::uint32_t key) { return entry.value < key; });
  if (found != hresultNameTable.end() && found->value == value) return found->name;

  char digits[8];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  return "Unknown HRESULT value " + std::string(digits, end);
}

}  // namespace brix
