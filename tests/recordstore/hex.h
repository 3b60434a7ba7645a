// Hex texts in tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<uint8_t> fromHex(std::string_view hex) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(uint8_t(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

inline std::string toHex(const uint8_t* data, size_t length) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < length; ++i) {
    out += digits[data[i] >> 4];
    out += digits[data[i] & 15];
  }
  return out;
}
template <class Bytes>
std::string toHex(const Bytes& bytes) {
  return toHex(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
