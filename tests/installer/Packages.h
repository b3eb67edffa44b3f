#pragma once
// The packages the installer tests are given, made by this build from its
// own binaries: this version, another build of it (whose README differs,
// so it is another product of the same version), and the next version.
#include <string>

#include "quarnel/Version.h"

namespace installer_test {

struct Package {
  std::string path;
  std::string version;
  // The file the package installs as README.md.
  std::string readme;
};

inline const Package first{QUARNEL_MSI, QUARNEL_VERSION, QUARNEL_SOURCE_DIR "/README.md"};
inline const Package rebuilt{QUARNEL_MSI_REBUILT, QUARNEL_VERSION, QUARNEL_REBUILT_README};
inline const Package higher{QUARNEL_MSI_HIGHER, QUARNEL_HIGHER_VERSION, QUARNEL_SOURCE_DIR "/README.md"};

}  // namespace installer_test
