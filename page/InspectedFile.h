#pragma once
#include <string>

#include "base/WindowsFile.h"

// Opens the file whose structure is shown, as the page and the tool both
// do: for reading only, and shared for reading, writing and deleting, so
// that a file still being recorded or copied opens, and the user may rename
// or delete it while it is read. A file that changes under the reader ends
// the reading with the message of whatever no longer fits.
brix::WindowsFile openInspectedFile(const std::string& path);

// Whether a name is one of the files shown: it ends in ".avi", ASCII letters
// in any case; nothing else is folded. The page is offered for these, and a
// walk of a folder reads these.
bool hasAviExtension(const std::string& name);
