#include "transform_test_data.h"

#include <cctype>
#include <stdexcept>

#include "platform/errors.h"

namespace transforms_test {

std::vector<uint8_t> fromHex(std::string_view hex) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw std::invalid_argument("not hex");
  };
  if (hex.size() % 2) throw std::invalid_argument("odd hex length");
  std::vector<uint8_t> out(hex.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = uint8_t(nibble(hex[2 * i]) << 4 | nibble(hex[2 * i + 1]));
  return out;
}

std::string toHex(const uint8_t* data, size_t length) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < length; ++i) {
    s += digits[data[i] >> 4];
    s += digits[data[i] & 15];
  }
  return s;
}

std::vector<uint8_t> randomBytes(size_t length, uint32_t seed) {
  std::vector<uint8_t> out(length);
  uint32_t x = seed * 2654435761u + 1;
  for (auto& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = uint8_t(x >> 24);
  }
  return out;
}

std::vector<uint8_t> sampleText(size_t length) {
  static const char* words[] = {"facture", "client", "vente", "achat", "montant", "total", "remise", "article"};
  std::vector<uint8_t> out;
  uint32_t n = 7;
  while (out.size() < length) {
    n = n * 1103515245u + 12345u;
    std::string w = words[(n >> 16) % 8];
    w += ((n >> 8) % 5 == 0) ? ";" + std::to_string((n >> 4) % 1000) + "\r\n" : " ";
    out.insert(out.end(), w.begin(), w.end());
  }
  out.resize(length);
  return out;
}

std::vector<std::string> jsonValues(const std::string& json, std::string_view key) {
  std::vector<std::string> values;
  const std::string quoted = "\"" + std::string(key) + "\"";
  for (size_t at = json.find(quoted); at != std::string::npos; at = json.find(quoted, at + 1)) {
    size_t p = json.find(':', at + quoted.size());
    if (p == std::string::npos) break;
    ++p;
    while (p < json.size() && std::isspace(static_cast<unsigned char>(json[p]))) ++p;
    if (p < json.size() && json[p] == '"') {
      const size_t end = json.find('"', p + 1);
      values.push_back(json.substr(p + 1, end - p - 1));
    } else {
      size_t end = p;
      while (end < json.size() && json[end] != ',' && json[end] != '}' && !std::isspace(static_cast<unsigned char>(json[end])))
        ++end;
      values.push_back(json.substr(p, end - p));
    }
  }
  return values;
}

int32_t codeOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const platform::EVZException& e) {
    return e.nativeError();
  }
  return 0;
}

std::string messageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const platform::EVZException& e) {
    return e.what();
  }
  return "";
}

}  // namespace transforms_test
