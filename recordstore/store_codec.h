// What a store file's algorithm block asks for: the cipher with its key and
// mode, BLOB compression, the password check. Encoding and decoding are
// serialised, as one codec serves every table of an open file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "recordstore/cipher_modes.h"
#include "recordstore/store_format.h"

namespace rec {

class StoreCodec {
 public:
  // Selects the algorithms the block names, when its flags ask for them;
  // raises "... algorithm module '%s' not found" for an unknown name.
  explicit StoreCodec(const format::AlgorithmBlock& algorithms);

  bool encrypted() const { return encrypt_; }
  bool compressed() const { return compress_; }
  // Encryption with a key set.
  bool keySet() const { return cipher_ && cipher_->initialised(); }
  const ModeCipher* cipher() const { return cipher_.get(); }

  // True when the file is not encrypted, or when the password's check text
  // is the file's; the cipher's key is then set from it. A wrong password
  // leaves the cipher as it was.
  bool checkPassword(std::string_view password);

  // Whether a field's data is encrypted, and (BLOBs) compressed.
  bool encryptsField(const format::FieldDef& field) const { return encrypt_ && field.dataProcessMode == 0; }
  bool compressesField(const format::FieldDef& field) const {
    return compress_ && field.dataProcessMode == 0 && format::isBlobType(field.type);
  }

  // A non-BLOB field's bytes, in place.
  void encodeField(const format::FieldDef& field, uint8_t* data, size_t length);
  void decodeField(const format::FieldDef& field, uint8_t* data, size_t length);
  // A BLOB's value to its stored bytes and back.
  std::string encodeBlob(const format::FieldDef& field, std::string_view value);
  std::string decodeBlob(const format::FieldDef& field, std::string_view stored);

 private:
  const ModeCipher& keyedCipher() const;

  std::mutex mutex_;
  bool compress_ = false;
  bool encrypt_ = false;
  std::string passwordCheck_;
  std::unique_ptr<ModeCipher> cipher_;
};

}  // namespace rec
