#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "page/FileReport.h"

// One JSON document: an array with one object per file,
// {"path", "status", "ok", "rows": [{"indent", "image", "element", "value"}]},
// value null for rows without one. Texts are converted to UTF-8 first, so
// any byte from a file still gives valid JSON.
std::string jsonReport(const std::vector<FileReport>& reports);

// The object of one file in that document, for writing it piece by piece
// (page/JsonArrayWriter.h). A verification's report has its own:
// {"path", "ok", "status", "position", "streams": [{"chunks", "bytes",
// "duration"}], "soundUpTo", "length"}, position the byte of the first
// problem or null, times in seconds.
nlohmann::ordered_json jsonFileReport(const FileReport& report);
