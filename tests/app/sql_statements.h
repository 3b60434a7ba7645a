// Test-side readers of the migration texts: a statement splitter that drops
// "--" comments and splits at semicolons outside quotes, and the base64
// decoding rule of the MimeToBin function.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app_test {

// The statements of a script in text order, comments dropped, white space
// outside quotes collapsed to single blanks and trimmed. Line breaks inside
// quoted strings are kept as they are.
std::vector<std::string> splitStatements(std::string_view text);

// The comment lines of a script (lines whose first characters are "--").
std::vector<std::string> commentLines(std::string_view text);

// The values of "INSERT INTO <table> values (v1, v2, ...)": quoted texts
// without their quotes (prefixed by nothing), other values as written.
// A quoted value is returned as "'" + text so that NULL and 'NULL' differ.
std::vector<std::string> insertValues(std::string_view statement);

// The elements of "CREATE TABLE <name> (e1, e2, ...)".
std::vector<std::string> createElements(std::string_view statement);

// MimeToBin's decoding of a base64 text, characters outside the table
// counted in the length as the engine counts them.
std::vector<uint8_t> mimeToBin(std::string_view text);

}  // namespace app_test
