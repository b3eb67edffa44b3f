#pragma once
#include <string>
#include <vector>

#include "page/FileReport.h"

// A readable table of one file, in UTF-8: one row per line, the Element
// indented by level, the Values in one column, then the status line. It
// always starts with the file's "Path" line, also when no row was made.
std::string textReport(const FileReport& report);

// The lines of a chosen set of rows, laid out as in the whole report: each
// Element indented by its level, the Values in one column after the longest
// Element of these rows. No status line.
std::string textRows(const std::vector<StructureRowText>& rows);
