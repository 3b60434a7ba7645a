// A block cipher with the store's key setting, starting vector and its five
// modes of operation. Every value is processed from the starting vector, so
// values are encrypted independently of each other.
//
//   mode 0  C = E(P ^ F), F = C ^ F; a final partial block is P ^ E(F), F = E(F) ^ F
//   mode 1  CBC; a final partial block is P ^ E(F)
//   mode 2  8-bit CFB
//   mode 3  8-bit OFB
//   mode 4  ECB; a final partial block stays as it is
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "recordstore/block_ciphers.h"

namespace rec {

class ModeCipher {
 public:
  ModeCipher(std::unique_ptr<BlockCipher> cipher, uint8_t mode);

  uint8_t mode() const { return mode_; }
  size_t blockSize() const { return cipher_->blockSize(); }
  bool initialised() const { return initialised_; }

  // Key schedule from `key` (cut to the cipher's longest key), then the
  // starting vector E(FF..FF).
  void setKey(const uint8_t* key, size_t length);
  const std::vector<uint8_t>& startingVector() const { return startingVector_; }

  // In place, any length, starting from the starting vector.
  void encrypt(uint8_t* data, size_t length) const;
  void decrypt(uint8_t* data, size_t length) const;

 private:
  void process(uint8_t* data, size_t length, bool decrypting) const;
  void xorPartial(uint8_t* data, size_t length, std::vector<uint8_t>& feedback, bool chainKeyStream) const;

  std::unique_ptr<BlockCipher> cipher_;
  uint8_t mode_;
  bool initialised_ = false;
  std::vector<uint8_t> startingVector_;
};

}  // namespace rec
