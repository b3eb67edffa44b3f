#pragma once
#include <cstdint>
#include <string>

#include "base/WindowsFile.h"

// What to do with a file whose data is not on this machine (a placeholder
// of a cloud-synced folder, a file moved to offline storage): reading it
// would download or recall it, which may take long and cost the user.
enum class OnlineFiles { skip, read };

// The status of a file that was skipped for that reason.
extern const char storedOnlineStatus[];

// Opens the file whose structure is shown, as the page and the tool both
// do: for reading only, and shared for reading, writing and deleting, so
// that a file still being recorded or copied opens, and the user may rename
// or delete it while it is read. A file that changes under the reader ends
// the reading with the message of whatever no longer fits. A file stored
// online is, by default, neither opened nor fetched: it throws
// std::runtime_error with storedOnlineStatus.
brix::WindowsFile openInspectedFile(const std::string& path, OnlineFiles online = OnlineFiles::skip);

// The flags and attributes openInspectedFile opens with: skipping files
// stored online, it also tells the file system never to fetch the data,
// should the file go online between the look and the open.
std::uint32_t inspectedFileFlags(OnlineFiles online);

// Whether a file with these attributes (FILE_ATTRIBUTE_*) keeps its data
// elsewhere, so that opening or reading it would fetch it.
bool isStoredOnline(std::uint32_t attributes);

// Whether a name is one of the files shown: it ends in ".avi", ASCII letters
// in any case; nothing else is folded. The page is offered for these, and a
// walk of a folder reads these.
bool hasAviExtension(const std::string& name);
