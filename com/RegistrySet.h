#pragma once
#include <optional>
#include <string>
#include <vector>

#include "base/Win32.h"

namespace brix {

// One key of a registration below a root, and the text value it holds.
struct RegistryEntry {
  // A key that others use too: created when missing, and left by remove()
  // (only a failed write takes away what it created itself).
  std::string base;
  // The key itself below base, or empty for base itself. Created when
  // missing; removed once it holds nothing more, and so is each key between
  // it and base.
  std::string key;
  // The name of its REG_SZ value, "" for the default value; none when the
  // key holds no value of its own.
  std::optional<std::string> valueName;
  std::string text;
};

// The keys and text values of a registration below one root
// (HKEY_LOCAL_MACHINE for every user, HKEY_CURRENT_USER for one), written
// and removed as one unit. Failures are the WindowsError of the failing
// registry call.
class RegistrySet {
 public:
  RegistrySet(HKEY root, std::vector<RegistryEntry> entries);

  // Writes every entry. When a call fails, what this call changed is undone
  // before the error goes on: values it replaced get their old type and
  // bytes back, values and keys it created are deleted.
  void write() const;
  // Deletes every value of the set, then each key of the set that holds
  // nothing more and its parents up to base while they hold nothing more.
  // What is missing is passed over: removing twice, or removing what was
  // never written, succeeds and changes nothing.
  void remove() const;

 private:
  HKEY root_;
  std::vector<RegistryEntry> entries_;
};

}  // namespace brix
