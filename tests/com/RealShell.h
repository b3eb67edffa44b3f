#pragma once
// The system's own shell, as a user reaches it: regsvr32 registers the DLL,
// and the Properties dialog of a file is opened through the file's item and
// its context menu, the way a file window does it.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/com/RegistryContents.h"
#include "tests/com/ShellHost.h"

namespace shell_host {

// A DLL registered with the system's regsvr32 (of this process's bitness)
// for the life of this object, or until unregister(): per machine, or with
// the options {"/n", "/i:user"} per user. Throws std::runtime_error when
// regsvr32 fails.
class Regsvr32Registration {
 public:
  explicit Regsvr32Registration(const std::string& dll, const std::vector<std::string>& options = {});
  ~Regsvr32Registration();
  Regsvr32Registration(const Regsvr32Registration&) = delete;
  Regsvr32Registration& operator=(const Regsvr32Registration&) = delete;

  void unregister();

 private:
  std::vector<std::string> arguments_;
  bool registered_ = false;
};

// Wine's shell looks for property sheet handlers under the ProgID that the
// file's extension maps to, and under "*"; unlike Windows, not under
// SystemFileAssociations\.avi, where the DLL registers its handler, and a
// fresh prefix maps ".avi" to nothing. While this object lives, ".avi" maps
// to "SystemFileAssociations\.avi" itself, so that Wine's shell reads the
// very handler the DLL registered. What ".avi" held before comes back.
class WineAviAssociation {
 public:
  WineAviAssociation();

 private:
  RegistryValueOverride mapping_;
};

// What the Properties dialog of a file showed.
struct PropertiesDialog {
  bool shown = false;
  std::vector<std::string> tabs;
  // The "AVI" page, when the sheet had one.
  std::optional<PageContents> avi;
};

// Opens the Properties dialog of the file at path through the shell, finds
// the sheet (on this thread while the shell's modal loop runs, or on any
// thread of this process), shows its "AVI" page if it has one, reads it,
// calls whileOpen with the sheet, and closes it. The thread must have
// initialised COM.
PropertiesDialog openProperties(const std::string& path, const std::function<void(HWND sheet)>& whileOpen = {});

}  // namespace shell_host
