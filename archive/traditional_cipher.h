// The traditional PKWARE encryption of ZIP entries: three 32-bit keys
// initialised from the password and advanced by every plain byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace archive {

class TraditionalCipher {
 public:
  static constexpr size_t kHeaderSize = 12;

  explicit TraditionalCipher(std::string_view password);

  void decrypt(uint8_t* data, size_t length);
  // Decrypts the 12-byte encryption header and returns its last byte, the
  // password check byte.
  uint8_t decryptHeader(uint8_t (&header)[kHeaderSize]);

 private:
  void updateKeys(uint8_t plain);
  uint8_t streamByte() const;

  uint32_t keys_[3];
};

}  // namespace archive
