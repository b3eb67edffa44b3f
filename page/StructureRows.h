#pragma once
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "avi/AVIFile.h"
#include "avi/TextChunks.h"

// Row images: the pictures in front of the Element text.
enum StructureRowImage { rowImageGroup = 0, rowImageStructure = 1, rowImageField = 2 };

// Receives each row the moment it is made: indent level (0 to 3), image,
// Element text and Value text (none for rows that name a structure).
using StructureRowSink = std::function<void(int indent, int image, const std::string& element,
                                            const std::optional<std::string>& value)>;

// Which rows: those of the headers alone, or all, which adds after each
// stream's header its format, name and the summaries of its legacy and
// OpenDML indexes, and after the last stream the file's RIFF forms and INFO
// tags. The header rows are the same in both, in the same order.
enum class StructureRowSet { headers, all };

// The most rows one file can give, whatever it holds, so that a crafted file
// can neither freeze the page nor fill memory with rows: before the streams
// the path, the main header (11 rows), the extended header (2) and
// "Streams"; per stream, of which a file has at most AVIFile::maxStreams,
// its number and header (16 rows), its format (at most 12: a
// BITMAPINFOHEADER, or a WAVEFORMATEXTENSIBLE with its WAVEFORMATEX), its
// name, its legacy index summary (5) and its OpenDML index summary (7, with
// a problem row); after them the RIFF group (the group, "Forms", "File
// size", at most RiffForms::maxListed forms and "Not listed") and the INFO
// group with at most maxInfoTags tags.
constexpr std::size_t maxRowsBeforeStreams = 1 + 11 + 2 + 1;
constexpr std::size_t maxRowsPerStream = 16 + 12 + 1 + 5 + 7;
constexpr std::size_t maxRiffRows = 3 + RiffForms::maxListed + 1;
constexpr std::size_t maxStructureRows =
    maxRowsBeforeStreams + AVIFile::maxStreams * maxRowsPerStream + maxRiffRows + 1 + maxInfoTags;

// The rows that show one parsed file: the path, the main header, the
// extended header when there is one, and the header of every stream. An
// exception from the sink ends the production; earlier rows stay with it.
void buildStructureRows(const std::string& path, const AVIFile& file, const StructureRowSink& sink,
                        StructureRowSet set = StructureRowSet::all);
