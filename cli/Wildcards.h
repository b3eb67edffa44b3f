#pragma once
#include <string_view>

// Wildcards in file names: '*' stands for any run of characters, none
// included, and '?' for exactly one; every other character for itself, as
// it is (callers fold case first where it does not count). Both texts are
// UTF-8, and a character is one code point; a byte that is not UTF-8 counts
// as one character.
bool hasWildcards(std::string_view text);
bool matchesWildcards(std::string_view pattern, std::string_view name);
