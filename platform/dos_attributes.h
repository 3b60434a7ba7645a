// The hidden, system and archive attributes of a file, kept in its
// user.DOSATTRIB extended attribute.
//
// Two forms are read:
//  - the text form: "0x" and the attribute bits in hexadecimal ("0x22"),
//    optionally followed by a zero byte and anything else;
//  - the binary form a file server keeps: an empty zero-terminated text,
//    padding to an even offset, a 16-bit version, the same 16-bit value again
//    as the union level, padding to a multiple of four, then by version:
//      0xFFFF, 1: the 32-bit attributes first;
//      2:         32-bit flags, then the 32-bit attributes;
//      3, 4, 5:   32-bit valid flags, then the 32-bit attributes, which count
//                 only when valid flag 0x1 is set.
// All values little-endian. The text form is written.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform::dos_attributes {

constexpr const char* kAttributeName = "user.DOSATTRIB";
constexpr size_t kLargestValue = 512;  // larger values are not ours and are ignored

constexpr uint16_t kVersionCompat = 0xFFFF;
constexpr uint16_t kVersion1 = 1;
constexpr uint16_t kVersion2 = 2;
constexpr uint16_t kVersion3 = 3;
constexpr uint16_t kVersion5 = 5;
constexpr size_t kVersionSize = 2;
constexpr size_t kLevelSize = 2;
constexpr size_t kArmAlignment = 4;
constexpr size_t kFieldSize = 4;
constexpr uint32_t kValidAttributes = 0x1;
static_assert(kVersionSize + kLevelSize == kArmAlignment, "the union arm follows an aligned header");

// The attribute bits this extended attribute carries (hidden, system, archive).
constexpr uint32_t kStoredBits = 0x02 | 0x04 | 0x20;

// The attribute bits of a stored value; nullopt when it is in neither form.
std::optional<uint32_t> parse(const uint8_t* value, size_t size);
// The stored text form of `attributes` ("0x22").
std::string format(uint32_t attributes);

// The hidden, system and archive bits stored for the file (0 when none or
// where the file system keeps no extended attributes).
uint32_t storedBits(const std::string& nativePath);

// Every attribute of an existing file from its status and stored bits:
// folder, read-only (no write permission for its owner), hidden, system,
// archive; faNormal when there is none of them.
uint32_t attributesOf(const std::string& nativePath, const struct stat& st);

}  // namespace platform::dos_attributes
