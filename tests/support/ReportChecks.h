#pragma once
#include <ostream>
#include <string>

#include "page/FileReport.h"

// Rows compare and print field by field, for the checks below and for the
// tests' EXPECT_EQ.
bool operator==(const StructureRowText& a, const StructureRowText& b);
void PrintTo(const StructureRowText& row, std::ostream* out);

namespace testing_support {

// What must hold for the report of any byte string, whatever the bytes: the
// status and the ok flag agree, rows come only with a complete parse, show
// every stream and are no more than maxStructureRows, and the JSON and text forms are valid UTF-8 with the
// same report (the JSON parses back to it; beyond 256 rows it is only
// checked to be valid JSON). Returns the first broken rule,
// or an empty string when all hold. Shared by the fuzzer and the replay of
// its regression inputs.
std::string reportFault(const FileReport& report);

// What must hold between the report of some bytes with all rows and their
// report with the header rows alone: the same status, and the header rows
// exactly those of the full report once the rows that follow the headers
// (each stream's format, name and index summary; the INFO group) are taken
// out, which leaves the header report as it is. Returns the first broken
// rule, or an empty string.
std::string headerRowsFault(const FileReport& all, const FileReport& headers);

// What must hold for the verification of any byte string of size bytes:
// "Ok" exactly when no problem and no position is given; a status of
// printable ASCII, so that no byte of the file reaches it raw; no more
// streams than chunk ids can name; no more chunks and bytes counted than
// the bytes hold; sound no longer than the file lasts. Returns the first
// broken rule, or an empty string.
std::string verificationFault(const Verification& verification, std::uint64_t size);

}  // namespace testing_support
