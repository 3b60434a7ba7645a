// Finds the parameter references of an SQL text: the names that follow a
// colon outside quotes, in text order, one entry per reference (a name used
// three times gives three entries).
//
// The rules, byte by byte over the text:
// - Every colon that stands alone between two double-quote characters
//   (the three bytes `":"`) is first replaced by `"<cut colon>"`, so that
//   such a text constant never starts a parameter.
// - Apostrophe, double quote and backquote open a quoted section that ends
//   at the next byte equal to the opening one; a doubled quote inside simply
//   closes and reopens it. Nothing inside a quoted section is looked at.
// - SQL comments are not recognised: a colon in a "--" or "/* */" comment
//   starts a parameter like any other.
// - Two colons in a row are an escaped colon: no parameter, and scanning
//   goes on after both.
// - Any other colon outside quotes starts a parameter reference:
//   - directly followed by an apostrophe, a double quote, a backquote or a
//     left square bracket, the name is quoted: it is the text up to the
//     matching closing character (a right square bracket for the bracket),
//     a doubled closing character standing for one; an unclosed name runs to
//     the end of the text;
//   - otherwise the name runs up to the first byte that ends a word of the
//     SQL text: blank, tab, carriage return, line feed, one of
//     ; , ( ) = < > + - * / | : ? . or a quote character; or to the end
//     of the text. So a colon followed by a blank, a line break or the end
//     of the text gives a parameter with an empty name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dataset {

std::vector<std::string> scanSqlParameterNames(std::string_view sql);

}  // namespace dataset
