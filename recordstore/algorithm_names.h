// Algorithm names in a store file are looked up without regard to case.
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace rec {

inline bool sameAlgorithmName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace rec
