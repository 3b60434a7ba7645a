#include "archive/traditional_cipher.h"

#include <zlib.h>

namespace archive {
namespace {

const z_crc_t* crcTable() {
  static const z_crc_t* table = get_crc_table();
  return table;
}

// One step of the CRC-32 register without the pre- and post-complement.
inline uint32_t crcStep(uint32_t crc, uint8_t byte) {
  return uint32_t(crcTable()[(crc ^ byte) & 0xFF]) ^ (crc >> 8);
}

}  // namespace

TraditionalCipher::TraditionalCipher(std::string_view password) : keys_{0x12345678u, 0x23456789u, 0x34567890u} {
  for (char c : password) updateKeys(uint8_t(c));
}

void TraditionalCipher::updateKeys(uint8_t plain) {
  keys_[0] = crcStep(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
  keys_[2] = crcStep(keys_[2], uint8_t(keys_[1] >> 24));
}

uint8_t TraditionalCipher::streamByte() const {
  const uint32_t t = (keys_[2] | 2) & 0xFFFF;
  return uint8_t((t * (t ^ 1)) >> 8);
}

void TraditionalCipher::decrypt(uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    const uint8_t plain = data[i] ^ streamByte();
    updateKeys(plain);
    data[i] = plain;
  }
}

uint8_t TraditionalCipher::decryptHeader(uint8_t (&header)[kHeaderSize]) {
  decrypt(header, kHeaderSize);
  return header[kHeaderSize - 1];
}

}  // namespace archive
