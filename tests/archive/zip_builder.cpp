#include "zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace archive_test {
namespace {

void put16(std::string& s, uint32_t v) {
  s += char(v & 0xFF);
  s += char((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}

class Encryptor {
 public:
  explicit Encryptor(const std::string& password) {
    for (char c : password) update(uint8_t(c));
  }
  std::string encrypt(const std::string& plain) {
    std::string out;
    for (char c : plain) {
      uint32_t t = (k_[2] | 2) & 0xFFFF;
      out += char(uint8_t(c) ^ uint8_t((t * (t ^ 1)) >> 8));
      update(uint8_t(c));
    }
    return out;
  }

 private:
  static uint32_t step(uint32_t crc, uint8_t b) { return get_crc_table()[(crc ^ b) & 0xFF] ^ (crc >> 8); }
  void update(uint8_t b) {
    k_[0] = step(k_[0], b);
    k_[1] = (k_[1] + (k_[0] & 0xFF)) * 134775813u + 1;
    k_[2] = step(k_[2], uint8_t(k_[1] >> 24));
  }
  uint32_t k_[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

std::string deflateWith(const std::string& data, int windowBits) {
  z_stream zs{};
  if (deflateInit2(&zs, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflate");
  std::string out(deflateBound(&zs, uLong(data.size())), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = uInt(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = uInt(out.size());
  if (deflate(&zs, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

}  // namespace

std::string deflateRaw(const std::string& data) { return deflateWith(data, -15); }
std::string deflateZlib(const std::string& data) { return deflateWith(data, 15); }
uint32_t crcOf(const std::string& data) {
  return uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
}

std::string buildZip(const std::vector<TestEntry>& entries, const BuildOptions& options) {
  std::string body = options.prefix;
  const uint32_t base = options.offsetsCountPrefix ? 0 : uint32_t(options.prefix.size());
  std::string central;
  for (const TestEntry& e : entries) {
    const uint32_t crc = e.crc.value_or(crcOf(e.data));
    std::string payload = e.stored ? *e.stored : e.method == 8 ? deflateRaw(e.data) : e.data;
    uint16_t flags = 0;
    if (!e.password.empty()) {
      flags |= 1;
      std::string header = "\x11\x22\x33\x44\x55\x66\x77\x88\x99\xAA\xBB";
      header += char(e.dataDescriptor ? (e.time >> 8) : (crc >> 24));
      Encryptor enc(e.password);
      payload = enc.encrypt(header + payload);
    }
    if (e.dataDescriptor) flags |= 8;
    const uint32_t offset = uint32_t(body.size()) - base;

    std::string local;
    put32(local, 0x04034B50);
    put16(local, e.versionNeeded);
    put16(local, flags);
    put16(local, e.method);
    put16(local, e.time);
    put16(local, e.date);
    put32(local, e.dataDescriptor ? 0 : crc);
    put32(local, e.dataDescriptor ? 0 : uint32_t(payload.size()));
    put32(local, e.dataDescriptor ? 0 : uint32_t(e.data.size()));
    put16(local, uint32_t(e.name.size()));
    put16(local, 0);
    body += local + e.name + payload;
    if (e.dataDescriptor) {
      put32(body, 0x08074B50);
      put32(body, crc);
      put32(body, uint32_t(payload.size()));
      put32(body, uint32_t(e.data.size()));
    }

    put32(central, 0x02014B50);
    put16(central, 20);
    put16(central, e.versionNeeded);
    put16(central, flags);
    put16(central, e.method);
    put16(central, e.time);
    put16(central, e.date);
    put32(central, crc);
    put32(central, uint32_t(payload.size()));
    put32(central, uint32_t(e.data.size()));
    put16(central, uint32_t(e.name.size()));
    put16(central, uint32_t(e.centralExtra.size()));
    put16(central, 0);
    put16(central, 0);
    put16(central, 0);
    put32(central, e.externalAttr);
    put32(central, offset);
    central += e.name + e.centralExtra;
  }
  const uint32_t dirOffset = uint32_t(body.size()) - base;
  body += central;
  put32(body, 0x06054B50);
  put16(body, 0);
  put16(body, 0);
  put16(body, uint32_t(entries.size()));
  put16(body, uint32_t(entries.size()));
  put32(body, uint32_t(central.size()));
  put32(body, dirOffset);
  put16(body, uint32_t(options.comment.size()));
  body += options.comment;
  body += options.trailer;
  return body;
}

}  // namespace archive_test
