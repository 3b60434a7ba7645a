// The first Secure Hash Algorithm (1993): SHA-1 without the one-bit rotation
// in the message schedule. The store derives its cipher keys from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rec {

using Sha0Digest = std::array<uint8_t, 20>;

class Sha0 {
 public:
  Sha0();
  void update(const void* data, size_t length);
  Sha0Digest finish();

  static Sha0Digest digest(std::string_view data);

 private:
  void compress(const uint8_t* block);

  std::array<uint32_t, 5> state_;
  std::array<uint8_t, 64> buffer_{};
  size_t buffered_ = 0;
  uint64_t totalBytes_ = 0;
};

}  // namespace rec
