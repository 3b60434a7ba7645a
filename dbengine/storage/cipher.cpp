#include "dbengine/storage/cipher.h"

#include <crypto++/misc.h>

#include <algorithm>

#include "dbengine/storage/block_ciphers.h"

namespace vz {
namespace {

constexpr size_t kMaxBlock = 24;

void xorInto(uint8_t* target, const uint8_t* source, size_t length) {
  for (size_t i = 0; i < length; ++i) target[i] ^= source[i];
}

bool transform(uint8_t cipherID, void* buffer, size_t length, std::string_view password, bool encrypting) noexcept {
  if (cipherID >= kCipherCount) return true;
  try {
    std::vector<uint8_t> key = passwordKey(cipherID, password);
    auto cipher = makeBlockCipher(cipherID, key.data(), key.size());
    CryptoPP::SecureWipeBuffer(key.data(), key.size());
    const size_t b = cipher->blockSize();
    uint8_t feedback[kMaxBlock];
    uint8_t work[kMaxBlock];
    std::fill(feedback, feedback + b, 0xFF);
    auto* data = static_cast<uint8_t*>(buffer);
    size_t offset = 0;
    for (; length - offset >= b; offset += b) {
      uint8_t* block = data + offset;
      if (encrypting) {
        xorInto(block, feedback, b);  // P xor F
        cipher->encrypt(block);       // C
        xorInto(feedback, block, b);  // F = C xor F
      } else {
        std::copy(block, block + b, work);  // C
        cipher->decrypt(block);
        xorInto(block, feedback, b);  // P = D(C) xor F
        xorInto(feedback, work, b);   // F = C xor F
      }
    }
    if (offset < length) {  // the tail: XOR with E(F), in both directions
      std::copy(feedback, feedback + b, work);
      cipher->encrypt(work);
      xorInto(data + offset, work, length - offset);
    }
    CryptoPP::SecureWipeBuffer(feedback, kMaxBlock);
    CryptoPP::SecureWipeBuffer(work, kMaxBlock);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

size_t cipherBlockSize(uint8_t cipherID) {
  static constexpr size_t kBlockSizes[kCipherCount] = {16, 16, 8, 24, 8, 16, 16, 16};
  return cipherID < kCipherCount ? kBlockSizes[cipherID] : 0;
}

bool encryptBuffer(uint8_t cipherID, void* buffer, size_t length, std::string_view password) noexcept {
  return transform(cipherID, buffer, length, password, true);
}

bool decryptBuffer(uint8_t cipherID, void* buffer, size_t length, std::string_view password) noexcept {
  return transform(cipherID, buffer, length, password, false);
}

}  // namespace vz
