// File names compared the way Windows compares them: character by character
// after mapping each character to upper case (the order an NTFS folder keeps
// follows the same mapping, so "_" sorts after the letters). Names are UTF-8;
// a byte that is not part of valid UTF-8 stands for itself, so every name
// maps to something and two different invalid names never meet by accident.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The name as a sequence of upper-cased characters (one character stays one
// character, so "?" in a mask still counts characters).
std::u32string upcaseName(std::string_view utf8);

}  // namespace platform
