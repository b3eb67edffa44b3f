#pragma once
#include "page/StructureRows.h"

class AVIFile;
class AVIStream;

// The stream's OpenDML index: its segments (standard index chunks) and what
// their entries count, by the rules of the legacy index's summary, with the
// first problem met; nothing when the stream has no indx chunk.
void addOpenDMLIndexRows(const AVIStream& stream, const StructureRowSink& sink);
// The file's RIFF forms with their positions and sizes, and the file's size.
void addRiffFormRows(const AVIFile& file, const StructureRowSink& sink);
