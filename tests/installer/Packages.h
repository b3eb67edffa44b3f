#pragma once
// The packages the installer tests are given, made by this build from its
// own binaries: this version twice, as two builds, and the next version.
#include <string>

#include "quarnel/Version.h"

namespace installer_test {

struct Package {
  std::string path;
  std::string version;
};

inline const Package first{QUARNEL_MSI, QUARNEL_VERSION};
inline const Package rebuilt{QUARNEL_MSI_REBUILT, QUARNEL_VERSION};
inline const Package higher{QUARNEL_MSI_HIGHER, QUARNEL_HIGHER_VERSION};

}  // namespace installer_test
