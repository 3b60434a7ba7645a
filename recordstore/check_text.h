// The password check text kept in a store file: the store's own base64
// variant of the password's SHA-0 digest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rec {

// Base64 that leaves out a group's trailing zero 6-bit units: each group of
// three bytes (the last one short, missing bytes counting as zero) gives its
// units from the highest down and stops once the remaining ones are all zero
// (an all-zero group gives nothing); "==" or "=" follow when the length
// leaves one or two bytes in the last group.
std::string checkTextEncode(const uint8_t* data, size_t length);

// The check text of a password as stored in the file.
std::string passwordCheckText(std::string_view password);

}  // namespace rec
