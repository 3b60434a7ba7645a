#include "recordstore/check_text.h"

#include "recordstore/sha0.h"

namespace rec {

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string checkTextEncode(const uint8_t* data, size_t length) {
  std::string out;
  for (size_t i = 0; i < length; i += 3) {
    uint32_t group = uint32_t(data[i]) << 16;
    if (i + 1 < length) group |= uint32_t(data[i + 1]) << 8;
    if (i + 2 < length) group |= uint32_t(data[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) {
      uint32_t rest = group & ((1u << (shift + 6)) - 1);
      if (rest == 0) break;
      out += kAlphabet[(group >> shift) & 0x3F];
    }
  }
  if (length % 3 == 1) out += "==";
  if (length % 3 == 2) out += "=";
  return out;
}

std::string passwordCheckText(std::string_view password) {
  Sha0Digest digest = Sha0::digest(password);
  return checkTextEncode(digest.data(), digest.size());
}

}  // namespace rec
