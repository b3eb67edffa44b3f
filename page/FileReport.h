#pragma once
#include <optional>
#include <string>
#include <vector>

#include "base/SeekableInputStream.h"
#include "page/StructureRows.h"

struct StructureRowText {
  int indent;
  int image;
  std::string element;
  std::optional<std::string> value;
};

// What the page shows for one file: its rows and the status line, "Ok" or
// the message of the error that stopped the reading. Rows made before an
// error stay.
struct FileReport {
  std::string path;
  std::vector<StructureRowText> rows;
  std::string status;
  bool ok = false;
};

// The status line of one reading: "Ok", or the text of what stopped it.
struct ReadStatus {
  std::string text;
  bool ok = false;
};

// Opens the file as the page does (openInspectedFile), parses it and hands
// each row to sink the moment it is made, as the page lists them. Whatever
// stops the reading, a failing sink included, becomes the status; rows
// handed over before it stay with the sink.
ReadStatus readFileRows(const std::string& path, const StructureRowSink& sink);
// The same from a stream already open; path is only shown.
ReadStatus readStreamRows(const std::string& path, brix::SeekableInputStream& stream, const StructureRowSink& sink,
                          StructureRowSet set = StructureRowSet::all);

// The rows and status of readFileRows, kept together.
FileReport readFileReport(const std::string& path);
// Reads from a stream already open; path is only shown. With the header
// rows alone, the file is read without its stream names and INFO tags.
FileReport readStreamReport(const std::string& path, brix::SeekableInputStream& stream,
                            StructureRowSet set = StructureRowSet::all);
