// Encryption of stored bytes: database pages and the password check block.
//
// Eight cipher-and-hash pairs are selected by a one-byte cipher id. The key is
// the digest of the password's bytes under the pair's hash, cut to the
// largest key the cipher accepts; every call is one chain starting from an
// all-FF initial vector, so equal data under equal passwords always gives
// equal bytes. Whole blocks are chained (C = E(P xor F), F = C xor F); a tail
// shorter than one block is XORed with E(F), so the output is exactly as long
// as the input and needs no filler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vz {

// A database password: the text as Windows-1252 bytes and the cipher id it is
// used with. An empty text means the database is not encrypted.
struct TVZPassword {
  std::string text;
  uint8_t cipherID = 0;

  bool empty() const { return text.empty(); }
};

// The cipher ids that name a cipher; any higher id leaves data unchanged.
//   0 Rijndael 128-bit key (10 rounds), RIPEMD-128 key      16-byte blocks
//   1 Rijndael 256-bit key (14 rounds), RIPEMD-256 key      16-byte blocks
//   2 DES, RIPEMD-128 key (first 8 bytes)                    8-byte blocks
//   3 24-byte-block triple DES, RIPEMD-128 key + 8 zeros    24-byte blocks
//   4 Blowfish, RIPEMD-256 key (32 bytes)                    8-byte blocks
//   5 Twofish, RIPEMD-128 key                               16-byte blocks
//   6 Twofish, RIPEMD-256 key                               16-byte blocks
//   7 Square, RIPEMD-128 key                                16-byte blocks
inline constexpr uint8_t kCipherCount = 8;
inline constexpr uint8_t kDefaultCipherID = 0;

// The block size of a cipher id (bytes), 0 for an id that names no cipher.
size_t cipherBlockSize(uint8_t cipherID);

// Encrypt / decrypt `length` bytes in place with the pair of `cipherID` and
// the password's bytes. They never raise: a failure inside the cipher library
// answers false (the buffer's contents are then unspecified). A cipher id
// above 7 leaves the buffer unchanged and answers true. A wrong password is
// no failure: it simply gives wrong bytes, which the caller detects by its
// checksums.
bool encryptBuffer(uint8_t cipherID, void* buffer, size_t length, std::string_view password) noexcept;
bool decryptBuffer(uint8_t cipherID, void* buffer, size_t length, std::string_view password) noexcept;

inline bool encryptBuffer(const TVZPassword& password, void* buffer, size_t length) noexcept {
  return encryptBuffer(password.cipherID, buffer, length, password.text);
}
inline bool decryptBuffer(const TVZPassword& password, void* buffer, size_t length) noexcept {
  return decryptBuffer(password.cipherID, buffer, length, password.text);
}

}  // namespace vz
