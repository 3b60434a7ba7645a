// Little-endian coding of integers and floats in byte buffers, and the
// overflow-safe range test every reader of a file format uses before it
// trusts an offset or a length it has read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform {

inline uint8_t loadU8(const uint8_t* p) { return p[0]; }
inline uint16_t loadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t loadU32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t loadU64(const uint8_t* p) { return uint64_t(loadU32(p)) | (uint64_t(loadU32(p + 4)) << 32); }
inline int8_t loadI8(const uint8_t* p) { return int8_t(p[0]); }
inline int16_t loadI16(const uint8_t* p) { return int16_t(loadU16(p)); }
inline int32_t loadI32(const uint8_t* p) { return int32_t(loadU32(p)); }
inline int64_t loadI64(const uint8_t* p) { return int64_t(loadU64(p)); }
inline float loadF32(const uint8_t* p) {
  uint32_t u = loadU32(p);
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}
inline double loadF64(const uint8_t* p) {
  uint64_t u = loadU64(p);
  double d;
  std::memcpy(&d, &u, 8);
  return d;
}

inline void storeU8(uint8_t* p, uint8_t v) { p[0] = v; }
inline void storeU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void storeU32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
inline void storeU64(uint8_t* p, uint64_t v) {
  storeU32(p, uint32_t(v));
  storeU32(p + 4, uint32_t(v >> 32));
}
inline void storeI8(uint8_t* p, int8_t v) { p[0] = uint8_t(v); }
inline void storeI16(uint8_t* p, int16_t v) { storeU16(p, uint16_t(v)); }
inline void storeI32(uint8_t* p, int32_t v) { storeU32(p, uint32_t(v)); }
inline void storeI64(uint8_t* p, int64_t v) { storeU64(p, uint64_t(v)); }
inline void storeF32(uint8_t* p, float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  storeU32(p, u);
}
inline void storeF64(uint8_t* p, double d) {
  uint64_t u;
  std::memcpy(&u, &d, 8);
  storeU64(p, u);
}

// True when [offset, offset + length) lies inside a buffer or file of `size`
// bytes; never overflows, whatever the operands.
constexpr bool rangeFits(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

}  // namespace platform
