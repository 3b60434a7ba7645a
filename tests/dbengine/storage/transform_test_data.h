// Inputs shared by the transform tests: hex, deterministic pseudo-random
// bytes, text that compresses, and a minimal reader of the flat JSON
// fixtures (string and number values by key, in file order).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace transforms_test {

std::vector<uint8_t> fromHex(std::string_view hex);
std::string toHex(const uint8_t* data, size_t length);
inline std::string toHex(const std::vector<uint8_t>& v) { return toHex(v.data(), v.size()); }

std::vector<uint8_t> randomBytes(size_t length, uint32_t seed);
// Words and numbers in lines: compresses well with every algorithm.
std::vector<uint8_t> sampleText(size_t length);

// Every value of `key` in a JSON text, in order of appearance ("..." values
// without their quotes, numbers and null as written).
std::vector<std::string> jsonValues(const std::string& json, std::string_view key);

// The native error code, or the whole message, of the EVZException that `f`
// raises; 0 or "" when it raises none.
int32_t codeOf(const std::function<void()>& f);
std::string messageOf(const std::function<void()>& f);

}  // namespace transforms_test
