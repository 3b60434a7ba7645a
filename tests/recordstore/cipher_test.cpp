#include <cryptopp/gost.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "hex.h"
#include "recordstore/block_ciphers.h"
#include "recordstore/cipher_modes.h"
#include "recordstore/sha0.h"

namespace {

std::string encryptBlock(std::string_view name, std::string_view keyHex, std::string_view plainHex) {
  auto cipher = rec::createBlockCipher(name);
  std::vector<uint8_t> key = fromHex(keyHex), plain = fromHex(plainHex), out(plain.size());
  cipher->setKey(key.data(), key.size());
  cipher->encryptBlock(plain.data(), out.data());
  std::vector<uint8_t> back(plain.size());
  cipher->decryptBlock(out.data(), back.data());
  EXPECT_EQ(back, plain) << name;
  return toHex(out);
}

TEST(BlockCiphers, PublishedVectors) {
  EXPECT_EQ(encryptBlock("Blowfish", "0000000000000000", "0000000000000000"), "4ef997456198dd78");
  EXPECT_EQ(encryptBlock("Blowfish", "ffffffffffffffff", "ffffffffffffffff"), "51866fd5b85ecb8a");
  EXPECT_EQ(encryptBlock("Blowfish", "f0e1d2c3b4a5968778695a4b3c2d1e0f00112233", "fedcba9876543210"),
            "10851c0e3858da9f");
  EXPECT_EQ(encryptBlock("Twofish", "0123456789abcdeffedcba98765432100011223344556677",
                         "00000000000000000000000000000000"),
            "cfd1d2e5a9be9cdf501f13b892bd2248");
}

TEST(BlockCiphers, NamesIgnoreCaseAndUnknownNamesAreRefused) {
  EXPECT_NE(rec::createBlockCipher("BLOWFISH"), nullptr);
  EXPECT_NE(rec::createBlockCipher("gost"), nullptr);
  EXPECT_EQ(rec::createBlockCipher("AES"), nullptr);
  EXPECT_EQ(rec::createBlockCipher(""), nullptr);
}

// The substitution boxes the store's GOST must use (box 1 for the lowest
// four bits of the round sum).
constexpr uint8_t kGostBoxes[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},  {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},  {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},  {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},  {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
};

struct GostBoxes : CryptoPP::GOST::Encryption {
  static const CryptoPP::byte (*boxes())[16] { return sBox; }
};

TEST(BlockCiphers, LibraryGostUsesTheListedBoxes) {
  EXPECT_EQ(std::memcmp(GostBoxes::boxes(), kGostBoxes, sizeof kGostBoxes), 0);
}

// GOST 28147-89 written out from its description, to pin the word order and
// the box placement of the library's cipher.
void referenceGost(const uint8_t key[32], const uint8_t in[8], uint8_t out[8]) {
  auto le = [](const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; };
  uint32_t k[8];
  for (int i = 0; i < 8; ++i) k[i] = le(key + 4 * i);
  uint32_t n1 = le(in), n2 = le(in + 4);
  for (int r = 0; r < 32; ++r) {
    uint32_t sum = n1 + k[r < 24 ? r % 8 : 7 - r % 8], s = 0;
    for (int box = 0; box < 8; ++box) s |= uint32_t(kGostBoxes[box][(sum >> (4 * box)) & 15]) << (4 * box);
    uint32_t next = n2 ^ ((s << 11) | (s >> 21));
    n2 = n1;
    n1 = next;
  }
  for (int i = 0; i < 4; ++i) {
    out[i] = uint8_t(n2 >> (8 * i));
    out[4 + i] = uint8_t(n1 >> (8 * i));
  }
}

TEST(BlockCiphers, GostMatchesItsDescription) {
  std::mt19937 random(7);
  auto gost = rec::createBlockCipher("Gost");
  for (int round = 0; round < 20; ++round) {
    uint8_t key[32], in[8], expected[8], actual[8];
    for (auto& b : key) b = uint8_t(random());
    for (auto& b : in) b = uint8_t(random());
    referenceGost(key, in, expected);
    gost->setKey(key, 32);
    gost->encryptBlock(in, actual);
    EXPECT_EQ(toHex(actual, 8), toHex(expected, 8));
  }
}

// The starting vector is E(FF..FF) under the password digest: these are the
// values of the fixture files made by another implementation.
TEST(ModeCipher, StartingVectorsFromThePassword) {
  struct Case {
    const char* cipher;
    const char* vector;
  } cases[] = {{"Blowfish", "162aafe57c83213b"},
               {"Twofish", "9a6a48ef8926bd9a666c5c0c76540f25"},
               {"Gost", "34dbbb5753cb588c"}};
  rec::Sha0Digest digest = rec::Sha0::digest("sertu");
  for (const Case& c : cases) {
    rec::ModeCipher cipher(rec::createBlockCipher(c.cipher), 1);
    cipher.setKey(digest.data(), digest.size());
    EXPECT_EQ(toHex(cipher.startingVector()), c.vector) << c.cipher;
  }
}

rec::ModeCipher keyed(const char* name, uint8_t mode) {
  rec::ModeCipher cipher(rec::createBlockCipher(name), mode);
  rec::Sha0Digest digest = rec::Sha0::digest("sertu");
  cipher.setKey(digest.data(), digest.size());
  return cipher;
}

TEST(ModeCipher, EveryModeRoundTripsEveryLength) {
  std::mt19937 random(11);
  for (const char* name : {"Blowfish", "Twofish", "Gost"}) {
    for (uint8_t mode = 0; mode <= 4; ++mode) {
      rec::ModeCipher cipher = keyed(name, mode);
      for (size_t length : {0, 1, 4, 7, 8, 11, 16, 17, 33, 4096, 4100}) {
        std::vector<uint8_t> plain(length);
        for (auto& b : plain) b = uint8_t(random());
        std::vector<uint8_t> data = plain;
        cipher.encrypt(data.data(), data.size());
        if (length >= cipher.blockSize()) {
          EXPECT_NE(data, plain);
        }
        cipher.decrypt(data.data(), data.size());
        EXPECT_EQ(data, plain) << name << " mode " << int(mode) << " length " << length;
      }
    }
  }
}

// Each mode against its formula, written out with the block cipher alone.
TEST(ModeCipher, ModesFollowTheirFormulas) {
  rec::Sha0Digest digest = rec::Sha0::digest("sertu");
  auto block = rec::createBlockCipher("Blowfish");
  block->setKey(digest.data(), digest.size());
  auto e = [&](std::vector<uint8_t> in) {
    std::vector<uint8_t> out(8);
    block->encryptBlock(in.data(), out.data());
    return out;
  };
  auto x = [](std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    for (size_t i = 0; i < a.size(); ++i) a[i] ^= b[i];
    return a;
  };
  const std::vector<uint8_t> sv = e(std::vector<uint8_t>(8, 0xFF));
  std::vector<uint8_t> p1(8, 0x11), p2(8, 0x22), tail = {0x33, 0x44, 0x55};
  std::vector<uint8_t> plain = p1;
  plain.insert(plain.end(), p2.begin(), p2.end());
  plain.insert(plain.end(), tail.begin(), tail.end());

  std::vector<uint8_t> expected[5];
  {  // mode 0: C = E(P ^ F), F = C ^ F; tail P ^ E(F)
    auto f = sv;
    auto c1 = e(x(p1, f));
    f = x(c1, f);
    auto c2 = e(x(p2, f));
    f = x(c2, f);
    auto k = e(f);
    expected[0] = c1;
    expected[0].insert(expected[0].end(), c2.begin(), c2.end());
    for (size_t i = 0; i < 3; ++i) expected[0].push_back(tail[i] ^ k[i]);
  }
  {  // mode 1: CBC; tail P ^ E(F)
    auto c1 = e(x(p1, sv));
    auto c2 = e(x(p2, c1));
    auto k = e(c2);
    expected[1] = c1;
    expected[1].insert(expected[1].end(), c2.begin(), c2.end());
    for (size_t i = 0; i < 3; ++i) expected[1].push_back(tail[i] ^ k[i]);
  }
  for (int mode : {2, 3}) {  // 8-bit CFB and OFB
    auto f = sv;
    for (uint8_t p : plain) {
      uint8_t k = e(f)[0];
      uint8_t c = p ^ k;
      expected[mode].push_back(c);
      f.erase(f.begin());
      f.push_back(mode == 2 ? c : k);
    }
  }
  {  // mode 4: ECB; the tail stays plain
    expected[4] = e(p1);
    auto c2 = e(p2);
    expected[4].insert(expected[4].end(), c2.begin(), c2.end());
    expected[4].insert(expected[4].end(), tail.begin(), tail.end());
  }
  for (uint8_t mode = 0; mode <= 4; ++mode) {
    rec::ModeCipher cipher = keyed("Blowfish", mode);
    std::vector<uint8_t> data = plain;
    cipher.encrypt(data.data(), data.size());
    EXPECT_EQ(toHex(data), toHex(expected[mode])) << "mode " << int(mode);
  }
}

TEST(ModeCipher, ShortValuesAndPlainTails) {
  // Modes 0 and 1: a 4-byte value under an 8-byte cipher is the value XOR
  // the first bytes of E(starting vector), the same for every such value.
  for (uint8_t mode : {0, 1}) {
    rec::ModeCipher cipher = keyed("Gost", mode);
    auto block = rec::createBlockCipher("Gost");
    rec::Sha0Digest digest = rec::Sha0::digest("sertu");
    block->setKey(digest.data(), digest.size());
    uint8_t k[8];
    block->encryptBlock(cipher.startingVector().data(), k);
    for (uint32_t value : {0u, 0x01020304u}) {
      uint8_t data[4];
      std::memcpy(data, &value, 4);
      uint8_t plain[4];
      std::memcpy(plain, data, 4);
      cipher.encrypt(data, 4);
      for (int i = 0; i < 4; ++i) EXPECT_EQ(data[i], plain[i] ^ k[i]);
    }
  }
  // Mode 4: a 10-byte value under a 16-byte cipher stays plain; an 11-byte
  // value under an 8-byte cipher keeps its last 3 bytes plain.
  rec::ModeCipher twofish = keyed("Twofish", 4);
  std::vector<uint8_t> ten(10, 'a'), data = ten;
  twofish.encrypt(data.data(), data.size());
  EXPECT_EQ(data, ten);
  rec::ModeCipher blowfish = keyed("Blowfish", 4);
  std::vector<uint8_t> eleven = {'5', '.', '8', 0, 0, 0, 0, 0, 'x', 'y', 'z'};
  data = eleven;
  blowfish.encrypt(data.data(), data.size());
  EXPECT_NE(std::vector<uint8_t>(data.begin(), data.begin() + 8), std::vector<uint8_t>(eleven.begin(), eleven.begin() + 8));
  EXPECT_EQ(std::vector<uint8_t>(data.begin() + 8, data.end()), std::vector<uint8_t>(eleven.begin() + 8, eleven.end()));
}

}  // namespace
