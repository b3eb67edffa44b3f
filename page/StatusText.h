#pragma once
#include <exception>
#include <string>

// The status line for what stopped the reading of a file: the exception's
// own text, except that running out of memory reads "bad allocation" on
// every platform (the C++ runtimes word their std::bad_alloc differently).
std::string statusText(const std::exception& e);

// The status on one line: system texts end in a line break, and a line of
// status has its own.
std::string statusLine(const std::string& status);
