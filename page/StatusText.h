#pragma once
#include <exception>
#include <string>

// The status line for what stopped the reading of a file: the exception's
// own text, except that running out of memory reads "bad allocation" on
// every platform (the C++ runtimes word their std::bad_alloc differently).
std::string statusText(const std::exception& e);
