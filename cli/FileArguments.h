#pragma once
#include <string>
#include <vector>

// The file arguments as the tool reads them. On Windows, whose shells leave
// wildcards to the program, an argument whose last part holds '*' or '?'
// stands for the names in its folder that match it regardless of case,
// sorted the same way, each written with the folder part as given; an
// argument that matches nothing stays as it is, and so gets the open error.
// Links to folders match nothing, as in a walk of the folder.
// Wildcards in the folder part are not expanded. Elsewhere the shell has
// expanded them already, and the list comes back unchanged.
std::vector<std::string> expandFileArguments(const std::vector<std::string>& files);
