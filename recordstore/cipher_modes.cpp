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

void ModeCipher::encrypt(uint8_t* data, size_t length) const {
  const size_t b = blockSize();
  std::vector<uint8_t> f = startingVector_;
  std::vector<uint8_t> t(b), k(b);
  size_t full = length - length % b;
  switch (mode_) {
    case 0:
    case 1:
      for (size_t pos = 0; pos < full; pos += b) {
        for (size_t i = 0; i < b; ++i) t[i] = data[pos + i] ^ f[i];
        cipher_->encryptBlock(t.data(), data + pos);
        for (size_t i = 0; i < b; ++i) f[i] = mode_ == 0 ? uint8_t(data[pos + i] ^ f[i]) : data[pos + i];
      }
      if (full < length) xorPartial(data + full, length - full, f, mode_ == 0);
      break;
    case 2:
    case 3:
      for (size_t pos = 0; pos < length; ++pos) {
        cipher_->encryptBlock(f.data(), k.data());
        data[pos] ^= k[0];
        std::memmove(f.data(), f.data() + 1, b - 1);
        f[b - 1] = mode_ == 2 ? data[pos] : k[0];
      }
      break;
    default:  // 4
      for (size_t pos = 0; pos < full; pos += b) {
        std::memcpy(t.data(), data + pos, b);
        cipher_->encryptBlock(t.data(), data + pos);
      }
      break;
  }
}

void ModeCipher::decrypt(uint8_t* data, size_t length) const {
  const size_t b = blockSize();
  std::vector<uint8_t> f = startingVector_;
  std::vector<uint8_t> c(b), k(b);
  size_t full = length - length % b;
  switch (mode_) {
    case 0:
    case 1:
      for (size_t pos = 0; pos < full; pos += b) {
        std::memcpy(c.data(), data + pos, b);
        cipher_->decryptBlock(c.data(), data + pos);
        for (size_t i = 0; i < b; ++i) {
          data[pos + i] ^= f[i];
          f[i] = mode_ == 0 ? uint8_t(c[i] ^ f[i]) : c[i];
        }
      }
      if (full < length) xorPartial(data + full, length - full, f, mode_ == 0);
      break;
    case 2:
    case 3:
      for (size_t pos = 0; pos < length; ++pos) {
        cipher_->encryptBlock(f.data(), k.data());
        uint8_t cipherByte = data[pos];
        data[pos] ^= k[0];
        std::memmove(f.data(), f.data() + 1, b - 1);
        f[b - 1] = mode_ == 2 ? cipherByte : k[0];
      }
      break;
    default:  // 4
      for (size_t pos = 0; pos < full; pos += b) {
        std::memcpy(c.data(), data + pos, b);
        cipher_->decryptBlock(c.data(), data + pos);
      }
      break;
  }
}

}  // namespace rec
