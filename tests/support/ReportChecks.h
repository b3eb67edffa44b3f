#pragma once
#include <string>

#include "page/FileReport.h"

namespace testing_support {

// What must hold for the report of any byte string, whatever the bytes: the
// status and the ok flag agree, rows come only with a complete parse and
// show every stream, and the JSON and text forms are valid UTF-8 with the
// same report (the JSON parses back to it; beyond 256 rows it is only
// checked to be valid JSON). Returns the first broken rule,
// or an empty string when all hold. Shared by the fuzzer and the replay of
// its regression inputs.
std::string reportFault(const FileReport& report);

}  // namespace testing_support
