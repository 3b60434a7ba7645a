#include "recordstore/block_ciphers.h"

#include <cryptopp/blowfish.h>
#include <cryptopp/gost.h>
#include <cryptopp/twofish.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "recordstore/algorithm_names.h"

namespace rec {

namespace {

// One Crypto++ cipher in both directions. A key that is not one of the
// cipher's lengths is padded with zero bytes up to the next one.
template <class Cipher>
class CryptoppCipher final : public BlockCipher {
 public:
  size_t blockSize() const override { return Cipher::BLOCKSIZE; }
  size_t maxKeyLength() const override { return Cipher::MAX_KEYLENGTH; }

  void setKey(const uint8_t* key, size_t length) override {
    std::vector<uint8_t> k(key, key + std::min(length, maxKeyLength()));
    size_t padded = std::max<size_t>(k.size(), Cipher::MIN_KEYLENGTH);
    while (Cipher::StaticGetValidKeyLength(padded) != padded) ++padded;
    k.resize(padded, 0);
    encryption_.emplace();
    decryption_.emplace();
    encryption_->SetKey(k.data(), k.size());
    decryption_->SetKey(k.data(), k.size());
  }

  void clearKey() override {
    encryption_.reset();
    decryption_.reset();
  }

  void encryptBlock(const uint8_t* in, uint8_t* out) const override { encryption_->ProcessBlock(in, out); }
  void decryptBlock(const uint8_t* in, uint8_t* out) const override { decryption_->ProcessBlock(in, out); }

 private:
  std::optional<typename Cipher::Encryption> encryption_;
  std::optional<typename Cipher::Decryption> decryption_;
};

}  // namespace

std::unique_ptr<BlockCipher> createBlockCipher(std::string_view name) {
  // A 20-byte key: Blowfish takes it as it is, Twofish schedules it as a
  // 192-bit key, GOST as a 256-bit one.
  if (sameAlgorithmName(name, "Blowfish")) return std::make_unique<CryptoppCipher<CryptoPP::Blowfish>>();
  if (sameAlgorithmName(name, "Twofish")) return std::make_unique<CryptoppCipher<CryptoPP::Twofish>>();
  if (sameAlgorithmName(name, "Gost")) return std::make_unique<CryptoppCipher<CryptoPP::GOST>>();
  return nullptr;
}

}  // namespace rec
