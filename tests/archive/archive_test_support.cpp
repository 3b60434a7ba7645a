#include "archive_test_support.h"

#include <cryptopp/sha.h>

#include <filesystem>

namespace archive_test {

void Recorder::attach(archive::TZABaseArchiver& a, archive::TZAAction onFailure) {
  a.OnProcessFileFailure = [this, onFailure](archive::TZABaseArchiver&, const std::string& fileName,
                                             archive::TZAProcessOperation, int32_t nativeError, int32_t,
                                             const std::string& message, archive::TZAAction& action) {
    failures.push_back({fileName, nativeError, message});
    action = onFailure;
  };
  a.OnPassword = [this](archive::TZABaseArchiver&, const std::string& fileName, std::string&, bool& skip) {
    passwordPrompts.push_back(fileName);
    skip = true;
  };
}

std::string fromHex(const std::string& hex) {
  std::string out;
  if (hex == "-") return out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::string sha256Hex(const std::string& data) {
  CryptoPP::SHA256 hash;
  std::string digest;
  CryptoPP::byte d[CryptoPP::SHA256::DIGESTSIZE];
  hash.CalculateDigest(d, reinterpret_cast<const CryptoPP::byte*>(data.data()), data.size());
  static const char* digits = "0123456789abcdef";
  for (auto b : d) {
    digest += digits[b >> 4];
    digest += digits[b & 15];
  }
  return digest;
}

std::set<std::string> listTree(const std::string& root) {
  std::set<std::string> out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    out.insert(std::filesystem::relative(e.path(), root).generic_string());
  return out;
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace archive_test
