#pragma once
#include <string>

// Writes UTF-8 text to standard output or standard error. A Windows console
// gets it as UTF-16, so it shows every character whatever its code page;
// files and pipes get the UTF-8 bytes.
void writeStandardOutput(const std::string& utf8);
void writeStandardError(const std::string& utf8);

// Whether the stream is a terminal (a console on Windows), not a file or a pipe.
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();
