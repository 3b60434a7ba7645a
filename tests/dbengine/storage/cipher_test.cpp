#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbengine/storage/block_ciphers.h"
#include "dbengine/storage/cipher.h"
#include "platform/crc32.h"
#include "test_support.h"
#include "transform_test_data.h"

using namespace vz;
using transforms_test::fromHex;
using transforms_test::toHex;

namespace {

const std::string kPassword = "tirelvash";

std::vector<uint8_t> encrypted(uint8_t cipherID, std::vector<uint8_t> data, std::string_view password = kPassword) {
  EXPECT_TRUE(encryptBuffer(cipherID, data.data(), data.size(), password));
  return data;
}

}  // namespace

TEST(Digests, PublishedValues) {
  EXPECT_EQ(toHex(ripemd128("")), "cdf26213a150dc3ecb610f18f6b38b46");
  EXPECT_EQ(toHex(ripemd128("abc")), "c14a12199c66e4ba84636b0f69144c77");
  EXPECT_EQ(toHex(ripemd256("")), "02ba4c4e5f8ecd1877fc52d64d30e37a2d9774fb1e5d026380ae0168e3c5522d");
  EXPECT_EQ(toHex(ripemd256("abc")), "afbd6e228b9d8cbbcef5ca2d03e6dba10ac0bc7dcbe4680e1e42d2e975459b65");
}

TEST(Digests, PasswordKeyIsTheDigestCutToTheCipher) {
  const auto d128 = ripemd128(kPassword);
  const auto d256 = ripemd256(kPassword);
  EXPECT_EQ(passwordKey(0, kPassword), d128);
  EXPECT_EQ(passwordKey(1, kPassword), d256);
  EXPECT_EQ(passwordKey(2, kPassword), std::vector<uint8_t>(d128.begin(), d128.begin() + 8));
  auto tdes = d128;
  tdes.resize(24, 0);
  EXPECT_EQ(passwordKey(3, kPassword), tdes);
  EXPECT_EQ(passwordKey(4, kPassword), d256);
  EXPECT_EQ(passwordKey(5, kPassword), d128);
  EXPECT_EQ(passwordKey(6, kPassword), d256);
  EXPECT_EQ(passwordKey(7, kPassword), d128);
}

TEST(BlockCiphers, PublishedKnownAnswers) {
  struct Case {
    uint8_t cipherID;
    const char* key;
    const char* plain;
    const char* cipher;
  };
  const Case cases[] = {
      // AES-128 and AES-256 (FIPS-197 appendix C)
      {0, "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {1, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
       "8ea2b7ca516745bfeafc49904b496089"},
      // DES (the classic worked example)
      {2, "133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
      // Blowfish, all-zero key and block
      {4, "0000000000000000", "0000000000000000", "4ef997456198dd78"},
      // Twofish, all-zero 128- and 256-bit keys
      {5, "00000000000000000000000000000000", "00000000000000000000000000000000", "9f589f5cf6122c32b6bfec2f2ae8c35a"},
      {6, "0000000000000000000000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
       "57ff739d4dc92c1bd7fc01700cc8216f"},
      // Square
      {7, "000102030405060708090a0b0c0d0e0f", "000102030405060708090a0b0c0d0e0f", "7c3491d94994e70f0ec2e7a5ccb5a14f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.cipherID));
    const auto key = fromHex(c.key);
    auto cipher = makeBlockCipher(c.cipherID, key.data(), key.size());
    auto block = fromHex(c.plain);
    ASSERT_EQ(block.size(), cipher->blockSize());
    cipher->encrypt(block.data());
    EXPECT_EQ(toHex(block), c.cipher);
    cipher->decrypt(block.data());
    EXPECT_EQ(toHex(block), c.plain);
  }
}

TEST(PageCipher, IndependentKnownAnswersForEveryCipherId) {
  const std::string json = testing_support::readFile(testing_support::fixturePath("vzdb/cipher-vectors.json"));
  const auto ids = transforms_test::jsonValues(json, "cipher_id");
  const auto passwords = transforms_test::jsonValues(json, "password_hex");
  const auto plains = transforms_test::jsonValues(json, "plaintext_hex");
  const auto ciphers = transforms_test::jsonValues(json, "ciphertext_hex");
  ASSERT_EQ(ids.size(), 32u);
  ASSERT_EQ(plains.size(), ids.size());
  ASSERT_EQ(ciphers.size(), ids.size());
  for (size_t i = 0; i < ids.size(); ++i) {
    const auto id = uint8_t(std::stoi(ids[i]));
    const auto pw = fromHex(passwords[i]);
    const std::string password(pw.begin(), pw.end());
    SCOPED_TRACE("cipher " + ids[i] + ", " + std::to_string(plains[i].size() / 2) + " bytes");
    auto data = fromHex(plains[i]);
    ASSERT_TRUE(encryptBuffer(id, data.data(), data.size(), password));
    EXPECT_EQ(toHex(data), ciphers[i]);
    ASSERT_TRUE(decryptBuffer(id, data.data(), data.size(), password));
    EXPECT_EQ(toHex(data), plains[i]);
  }
  const auto crcData = transforms_test::jsonValues(json, "data_hex");
  auto crcs = transforms_test::jsonValues(json, "crc");
  crcs.erase(crcs.begin());  // the list itself
  ASSERT_EQ(crcData.size(), 2u);
  for (size_t i = 0; i < crcData.size(); ++i) {
    const auto bytes = fromHex(crcData[i]);
    EXPECT_EQ(platform::engineCrc32(0, bytes.data(), bytes.size()), std::stoul(crcs[i], nullptr, 16));
  }
}

TEST(PageCipher, EveryLengthRoundTripsAndIsRepeatable) {
  for (uint8_t id = 0; id < kCipherCount; ++id) {
    const size_t b = cipherBlockSize(id);
    for (size_t length = 1; length <= 3 * b + b - 1; ++length) {
      SCOPED_TRACE(std::to_string(id) + "/" + std::to_string(length));
      const auto plain = transforms_test::randomBytes(length, uint32_t(length));
      const auto once = encrypted(id, plain);
      EXPECT_EQ(encrypted(id, plain), once);  // no random vector
      EXPECT_NE(once, plain);
      auto back = once;
      ASSERT_TRUE(decryptBuffer(id, back.data(), back.size(), kPassword));
      EXPECT_EQ(back, plain);
    }
  }
}

TEST(PageCipher, ChainingAndTailFollowTheFeedbackRule) {
  for (uint8_t id = 0; id < kCipherCount; ++id) {
    SCOPED_TRACE(int(id));
    const size_t b = cipherBlockSize(id);
    const auto key = passwordKey(id, kPassword);
    auto cipher = makeBlockCipher(id, key.data(), key.size());
    // Two blocks and a tail of b - 1 bytes, computed by hand:
    // C = E(P xor F); F = C xor F; tail = P xor E(F).
    const auto plain = transforms_test::randomBytes(3 * b - 1, 99);
    std::vector<uint8_t> expected = plain;
    std::vector<uint8_t> f(b, 0xFF);
    for (size_t at = 0; at + b <= plain.size(); at += b) {
      for (size_t i = 0; i < b; ++i) expected[at + i] ^= f[i];
      cipher->encrypt(expected.data() + at);
      for (size_t i = 0; i < b; ++i) f[i] ^= expected[at + i];
    }
    cipher->encrypt(f.data());
    for (size_t i = 2 * b; i < plain.size(); ++i) expected[i] ^= f[i - 2 * b];
    EXPECT_EQ(toHex(encrypted(id, plain)), toHex(expected));

    // Shorter than one block: only XORed with E(all FF).
    std::vector<uint8_t> pad(b, 0xFF);
    cipher->encrypt(pad.data());
    const auto shortPlain = transforms_test::randomBytes(b - 1, 5);
    const auto shortCipher = encrypted(id, shortPlain);
    for (size_t i = 0; i < shortPlain.size(); ++i) EXPECT_EQ(shortCipher[i], shortPlain[i] ^ pad[i]);
  }
}

TEST(PageCipher, TripleDesCheckBlockIsTenBlocksAndASixteenByteTail) {
  const auto plain = transforms_test::randomBytes(256, 3);
  const auto base = encrypted(3, plain);
  // A change in the tail changes only that byte; a change in the first DES
  // block of the tenth block reaches the tail (through the feedback and the
  // exchange of bytes 4-7 with 8-11).
  auto tailChanged = plain;
  tailChanged[250] ^= 1;
  auto c = encrypted(3, tailChanged);
  for (size_t i = 0; i < 256; ++i) EXPECT_EQ(c[i] != base[i], i == 250) << i;
  auto blockChanged = plain;
  blockChanged[216] ^= 1;
  c = encrypted(3, blockChanged);
  for (size_t i = 0; i < 216; ++i) EXPECT_EQ(c[i], base[i]) << i;
  size_t changedInTail = 0;
  for (size_t i = 240; i < 256; ++i) changedInTail += c[i] != base[i];
  EXPECT_GT(changedInTail, 8u);
}

TEST(PageCipher, WrongPasswordGivesOtherBytesAndUnknownIdsLeaveDataAlone) {
  const auto plain = transforms_test::randomBytes(4056, 8);
  auto data = encrypted(0, plain);
  ASSERT_TRUE(decryptBuffer(0, data.data(), data.size(), "wrong"));
  EXPECT_NE(data, plain);
  for (int id : {8, 9, 200, 255}) {
    auto same = plain;
    EXPECT_TRUE(encryptBuffer(uint8_t(id), same.data(), same.size(), kPassword));
    EXPECT_TRUE(decryptBuffer(uint8_t(id), same.data(), same.size(), kPassword));
    EXPECT_EQ(same, plain);
  }
  // Nothing to do is no failure either.
  EXPECT_TRUE(encryptBuffer(0, nullptr, 0, kPassword));
}
