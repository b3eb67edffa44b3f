#pragma once
#include <optional>
#include <string>
#include <vector>

#include "avi/Verification.h"
#include "base/SeekableInputStream.h"
#include "page/InspectedFile.h"
#include "page/StructureRows.h"

struct StructureRowText {
  int indent;
  int image;
  std::string element;
  std::optional<std::string> value;
};

// What the page shows for one file: its rows and the status line, "Ok" or
// the message of the error that stopped the reading. Rows made before an
// error stay. The report of a whole file's verification (page/VerifyReport.h)
// is one too: its rows tell what was found, and it carries the verification
// itself, which its JSON form gives in full.
struct FileReport {
  std::string path;
  std::vector<StructureRowText> rows;
  std::string status;
  bool ok = false;
  std::optional<Verification> verification = std::nullopt;
};

// Opens the file as the page does (openInspectedFile) and parses it; the
// rows and the status line, "Ok" or the text of whatever stopped the
// reading. onRow, when given, sees each row the moment it is made, as the
// page lists them, before it is kept; a row it fails on is not kept, and its
// failure is the status.
FileReport readFileReport(const std::string& path, const StructureRowSink& onRow = nullptr,
                          OnlineFiles online = OnlineFiles::skip);
// The status of the same reading, without rows, for a reader that shows no
// more: the file is parsed without its stream names, INFO tags and OpenDML
// indexes, which never change whether it reads, and no row is made.
FileReport readFileStatus(const std::string& path, OnlineFiles online = OnlineFiles::skip);
// Reads from a stream already open; path is only shown. With the header
// rows alone, the file is read without its stream names and INFO tags.
FileReport readStreamReport(const std::string& path, brix::SeekableInputStream& stream,
                            StructureRowSet set = StructureRowSet::all);
