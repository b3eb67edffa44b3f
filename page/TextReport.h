#pragma once
#include <string>

#include "page/FileReport.h"

// A readable table of one file, in UTF-8: one row per line, the Element
// indented by level, the Values in one column, then the status line. It
// always starts with the file's "Path" line, also when no row was made.
std::string textReport(const FileReport& report);
