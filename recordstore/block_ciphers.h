// The block ciphers a store file can name, found by name without regard to
// case: "Blowfish", "Twofish" and "Gost".
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace rec {

class BlockCipher {
 public:
  virtual ~BlockCipher() = default;
  virtual size_t blockSize() const = 0;
  virtual size_t maxKeyLength() const = 0;
  // Runs the key schedule; a key shorter than the cipher takes is padded as
  // the store prescribes for each cipher.
  virtual void setKey(const uint8_t* key, size_t length) = 0;
  virtual void clearKey() = 0;
  virtual void encryptBlock(const uint8_t* in, uint8_t* out) const = 0;
  virtual void decryptBlock(const uint8_t* in, uint8_t* out) const = 0;
};

// nullptr when no cipher of that name is registered.
std::unique_ptr<BlockCipher> createBlockCipher(std::string_view name);

}  // namespace rec
