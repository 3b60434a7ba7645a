#include "recordstore/cipher_modes.h"

#include <algorithm>
#include <cstring>

namespace rec {

ModeCipher::ModeCipher(std::unique_ptr<BlockCipher> cipher, uint8_t mode)
    : cipher_(std::move(cipher)), mode_(mode), startingVector_(cipher_->blockSize(), 0xFF) {}

void ModeCipher::setKey(const uint8_t* key, size_t length) {
  initialised_ = false;
  std::fill(startingVector_.begin(), startingVector_.end(), 0xFF);
  cipher_->clearKey();
  cipher_->setKey(key, std::min(length, cipher_->maxKeyLength()));
  std::vector<uint8_t> ones(blockSize(), 0xFF);
  cipher_->encryptBlock(ones.data(), startingVector_.data());
  initialised_ = true;
}

// A final block shorter than the cipher's block in modes 0 and 1: the data
// is XORed with E(F); mode 0 also folds that key stream into F.
void ModeCipher::xorPartial(uint8_t* data, size_t length, std::vector<uint8_t>& feedback, bool chainKeyStream) const {
  std::vector<uint8_t> k(blockSize());
  cipher_->encryptBlock(feedback.data(), k.data());
  for (size_t i = 0; i < length; ++i) data[i] ^= k[i];
  if (chainKeyStream)
    for (size_t i = 0; i < k.size(); ++i) feedback[i] ^= k[i];
}

void ModeCipher::encrypt(uint8_t* data, size_t length) const { process(data, length, false); }

void ModeCipher::decrypt(uint8_t* data, size_t length) const { process(data, length, true); }

void ModeCipher::process(uint8_t* data, size_t length, bool decrypting) const {
  const size_t b = blockSize();
  std::vector<uint8_t> f = startingVector_;
  std::vector<uint8_t> c(b), k(b);
  const size_t full = length - length % b;
  switch (mode_) {
    case 0:
    case 1:
      for (size_t pos = 0; pos < full; pos += b) {
        uint8_t* block = data + pos;
        if (decrypting) {  // P = D(C) ^ F
          std::memcpy(c.data(), block, b);
          cipher_->decryptBlock(c.data(), block);
          for (size_t i = 0; i < b; ++i) block[i] ^= f[i];
        } else {  // C = E(P ^ F)
          for (size_t i = 0; i < b; ++i) k[i] = block[i] ^ f[i];
          cipher_->encryptBlock(k.data(), block);
          std::memcpy(c.data(), block, b);
        }
        // Mode 0 feeds back C ^ F, mode 1 (CBC) C.
        for (size_t i = 0; i < b; ++i) f[i] = mode_ == 0 ? uint8_t(c[i] ^ f[i]) : c[i];
      }
      if (full < length) xorPartial(data + full, length - full, f, mode_ == 0);
      break;
    case 2:
    case 3:
      for (size_t pos = 0; pos < length; ++pos) {
        cipher_->encryptBlock(f.data(), k.data());
        const uint8_t in = data[pos];
        data[pos] ^= k[0];
        // CFB feeds back the cipher byte, OFB the key stream byte.
        std::memmove(f.data(), f.data() + 1, b - 1);
        f[b - 1] = mode_ == 3 ? k[0] : (decrypting ? in : data[pos]);
      }
      break;
    default:  // 4: ECB; a partial block stays as it is
      for (size_t pos = 0; pos < full; pos += b) {
        std::memcpy(c.data(), data + pos, b);
        if (decrypting)
          cipher_->decryptBlock(c.data(), data + pos);
        else
          cipher_->encryptBlock(c.data(), data + pos);
      }
      break;
  }
}

}  // namespace rec
