// The compression a store file can name for its BLOB fields: "ZLIB", a
// 4-byte signed length followed by a zlib stream, or by the value itself
// (negative length) when compressing would not make it shorter.
#pragma once

#include <string>
#include <string_view>

namespace rec {

// True for a registered compression name (without regard to case).
bool isCompressionRegistered(std::string_view name);

std::string zlibFrame(std::string_view value);
// Raises EDatabaseError on a damaged frame or stream.
std::string zlibUnframe(std::string_view stored);

}  // namespace rec
