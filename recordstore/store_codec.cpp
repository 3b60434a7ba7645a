#include "recordstore/store_codec.h"

#include "platform/errors.h"
#include "recordstore/blob_compression.h"
#include "recordstore/check_text.h"
#include "recordstore/messages.h"
#include "recordstore/sha0.h"

namespace rec {

StoreCodec::StoreCodec(const format::AlgorithmBlock& a)
    : compress_(a.compress), encrypt_(a.encrypt), passwordCheck_(a.passwordCheck) {
  if (compress_ && !isCompressionRegistered(a.compressAlgoName))
    throw platform::EDatabaseError(msg::kCompressionNotFound, {a.compressAlgoName});
  if (encrypt_) {
    std::unique_ptr<BlockCipher> block = createBlockCipher(a.encryptAlgoName);
    if (!block) throw platform::EDatabaseError(msg::kEncryptionNotFound, {a.encryptAlgoName});
    cipher_ = std::make_unique<ModeCipher>(std::move(block), a.encryptMode);
  }
}

bool StoreCodec::checkPassword(std::string_view password) {
  if (!encrypt_) return true;
  if (passwordCheckText(password) != passwordCheck_) return false;
  Sha0Digest digest = Sha0::digest(password);
  std::lock_guard<std::mutex> lock(mutex_);
  cipher_->setKey(digest.data(), digest.size());
  return true;
}

const ModeCipher& StoreCodec::keyedCipher() const {
  // Data of an encrypted file is never touched before a password passed.
  if (!keySet()) throw platform::EDatabaseError(msg::kAccessDenied);
  return *cipher_;
}

void StoreCodec::encodeField(const format::FieldDef& field, uint8_t* data, size_t length) {
  if (!encryptsField(field)) return;
  std::lock_guard<std::mutex> lock(mutex_);
  keyedCipher().encrypt(data, length);
}

void StoreCodec::decodeField(const format::FieldDef& field, uint8_t* data, size_t length) {
  if (!encryptsField(field)) return;
  std::lock_guard<std::mutex> lock(mutex_);
  keyedCipher().decrypt(data, length);
}

std::string StoreCodec::encodeBlob(const format::FieldDef& field, std::string_view value) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string stored = compressesField(field) ? zlibFrame(value) : std::string(value);
  if (encryptsField(field)) keyedCipher().encrypt(reinterpret_cast<uint8_t*>(stored.data()), stored.size());
  return stored;
}

std::string StoreCodec::decodeBlob(const format::FieldDef& field, std::string_view stored) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string value(stored);
  if (encryptsField(field)) keyedCipher().decrypt(reinterpret_cast<uint8_t*>(value.data()), value.size());
  return compressesField(field) ? zlibUnframe(value) : value;
}

}  // namespace rec
