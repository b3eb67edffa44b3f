#pragma once
#include <string>

#include "base/WindowsFile.h"

// Opens the file whose structure is shown, as the page and the tool both
// do: for reading only, and shared for reading, writing and deleting, so
// that a file still being recorded or copied opens, and the user may rename
// or delete it while it is read. A file that changes under the reader ends
// the reading with the message of whatever no longer fits.
brix::WindowsFile openInspectedFile(const std::string& path);
