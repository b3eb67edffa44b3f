#pragma once
#include "page/StructureRows.h"

class AVIFile;
class AVIStream;

// The stream's name, when its header list has one.
void addStreamNameRow(const AVIStream& stream, const StructureRowSink& sink);
// A summary of the stream's part of the legacy index: entries, key frames,
// bytes and how long the indexed chunks last; or that the file has none.
void addStreamIndexRows(const AVIFile& file, const AVIStream& stream, const StructureRowSink& sink);
// The file's INFO tags, when it has any, as a group after the streams.
void addInfoRows(const AVIFile& file, const StructureRowSink& sink);
