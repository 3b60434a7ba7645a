#include "dbengine/storage/block_ciphers.h"

#include <crypto++/blowfish.h>
#include <crypto++/des.h>
#include <crypto++/rijndael.h>
#include <crypto++/ripemd.h>
#include <crypto++/square.h>
#include <crypto++/twofish.h>

#include <algorithm>
#include <array>
#include <stdexcept>

#include "dbengine/storage/cipher.h"

namespace vz {
namespace {

enum class Hash { Ripemd128, Ripemd256 };
enum class Algorithm { Rijndael, Des, TripleDes24, Blowfish, Twofish, Square };

struct CipherPair {
  Algorithm algorithm;
  Hash hash;
  size_t maxKey;  // the largest key the cipher accepts
};

constexpr std::array<CipherPair, kCipherCount> kPairs = {{
    {Algorithm::Rijndael, Hash::Ripemd128, 32},
    {Algorithm::Rijndael, Hash::Ripemd256, 32},
    {Algorithm::Des, Hash::Ripemd128, 8},
    {Algorithm::TripleDes24, Hash::Ripemd128, 24},
    {Algorithm::Blowfish, Hash::Ripemd256, 56},
    {Algorithm::Twofish, Hash::Ripemd128, 32},
    {Algorithm::Twofish, Hash::Ripemd256, 32},
    {Algorithm::Square, Hash::Ripemd128, 16},
}};

template <class Cipher>
class LibraryCipher final : public BlockCipher {
 public:
  LibraryCipher(const uint8_t* key, size_t keyLength) {
    enc_.SetKey(key, keyLength);
    dec_.SetKey(key, keyLength);
  }
  size_t blockSize() const override { return Cipher::BLOCKSIZE; }
  void encrypt(uint8_t* block) override { enc_.ProcessBlock(block); }
  void decrypt(uint8_t* block) override { dec_.ProcessBlock(block); }

 private:
  typename Cipher::Encryption enc_;
  typename Cipher::Decryption dec_;
};

// Triple DES over 24-byte blocks A|B|C (three DES blocks) with the keys K1,
// K2, K3 (bytes 0-7, 8-15, 16-23 of the key). Between the stages bytes 4-7
// (w1) and 8-11 (w2) change places; nothing else moves.
class TripleDes24 final : public BlockCipher {
 public:
  TripleDes24(const uint8_t* key, size_t keyLength) {
    if (keyLength != 24) throw std::invalid_argument("triple DES takes a 24-byte key");
    for (int i = 0; i < 3; ++i) {
      enc_[i].SetKey(key + 8 * i, 8);
      dec_[i].SetKey(key + 8 * i, 8);
    }
  }
  size_t blockSize() const override { return 24; }
  void encrypt(uint8_t* block) override {
    each(block, enc_[0]);
    exchange(block);
    each(block, dec_[1]);
    exchange(block);
    each(block, enc_[2]);
  }
  void decrypt(uint8_t* block) override {
    each(block, dec_[2]);
    exchange(block);
    each(block, enc_[1]);
    exchange(block);
    each(block, dec_[0]);
  }

 private:
  static void each(uint8_t* block, CryptoPP::BlockTransformation& des) {
    for (int i = 0; i < 3; ++i) des.ProcessBlock(block + 8 * i);
  }
  static void exchange(uint8_t* block) { std::swap_ranges(block + 4, block + 8, block + 8); }

  CryptoPP::DES::Encryption enc_[3];
  CryptoPP::DES::Decryption dec_[3];
};

template <class H>
std::vector<uint8_t> digest(std::string_view data) {
  std::vector<uint8_t> out(H::DIGESTSIZE);
  H().CalculateDigest(out.data(), reinterpret_cast<const uint8_t*>(data.data()), data.size());
  return out;
}

}  // namespace

std::unique_ptr<BlockCipher> makeBlockCipher(uint8_t cipherID, const uint8_t* key, size_t keyLength) {
  if (cipherID >= kCipherCount) throw std::invalid_argument("no cipher has this id");
  switch (kPairs[cipherID].algorithm) {
    case Algorithm::Rijndael: return std::make_unique<LibraryCipher<CryptoPP::Rijndael>>(key, keyLength);
    case Algorithm::Des: return std::make_unique<LibraryCipher<CryptoPP::DES>>(key, keyLength);
    case Algorithm::TripleDes24: return std::make_unique<TripleDes24>(key, keyLength);
    case Algorithm::Blowfish: return std::make_unique<LibraryCipher<CryptoPP::Blowfish>>(key, keyLength);
    case Algorithm::Twofish: return std::make_unique<LibraryCipher<CryptoPP::Twofish>>(key, keyLength);
    case Algorithm::Square: return std::make_unique<LibraryCipher<CryptoPP::Square>>(key, keyLength);
  }
  throw std::invalid_argument("no cipher has this id");
}

std::vector<uint8_t> passwordKey(uint8_t cipherID, std::string_view password) {
  if (cipherID >= kCipherCount) throw std::invalid_argument("no cipher has this id");
  const CipherPair& pair = kPairs[cipherID];
  std::vector<uint8_t> key = pair.hash == Hash::Ripemd128 ? ripemd128(password) : ripemd256(password);
  key.resize(std::min(key.size(), pair.maxKey));
  if (pair.algorithm == Algorithm::TripleDes24) key.resize(24, 0);
  return key;
}

std::vector<uint8_t> ripemd128(std::string_view data) { return digest<CryptoPP::RIPEMD128>(data); }
std::vector<uint8_t> ripemd256(std::string_view data) { return digest<CryptoPP::RIPEMD256>(data); }

}  // namespace vz
