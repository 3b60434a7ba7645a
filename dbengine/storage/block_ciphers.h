// The block ciphers and the password digest behind each cipher id, keyed
// directly (the page transform in cipher.h is built on these).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vz {

// One keyed block cipher: E and D of one block in place.
class BlockCipher {
 public:
  virtual ~BlockCipher() = default;
  virtual size_t blockSize() const = 0;
  virtual void encrypt(uint8_t* block) = 0;
  virtual void decrypt(uint8_t* block) = 0;
};

// The cipher of `cipherID` (0..7) keyed with `key`; raises the cipher
// library's exception for a key length the cipher refuses.
std::unique_ptr<BlockCipher> makeBlockCipher(uint8_t cipherID, const uint8_t* key, size_t keyLength);

// The key the password gives for `cipherID`: the digest of its bytes under
// the pair's hash (RIPEMD-128 or RIPEMD-256), cut to the cipher's largest
// key; for the 24-byte triple DES, the 16 digest bytes and 8 zero bytes.
std::vector<uint8_t> passwordKey(uint8_t cipherID, std::string_view password);

// The digests themselves.
std::vector<uint8_t> ripemd128(std::string_view data);
std::vector<uint8_t> ripemd256(std::string_view data);

}  // namespace vz
