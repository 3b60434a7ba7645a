// The value stream format, in which table metadata keeps default values and
// check bounds:
//
//   uint8   storage type code
//   uint8   null marker: 0 when a value follows; 255 written for null (any
//           non-zero value read back means null and nothing follows)
//   int32   data size n               (present values only)
//   n bytes the data in its encoding  (present values only)
//
// TVZVariant::writeTo and readFrom work on any stream that offers the
// ByteStream operations.
#pragma once

#include <cstdint>

namespace vz {

inline constexpr int kValueStreamHeaderSize = 2;  // type and null marker

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // The number of bytes actually read or written (fewer at the end of the
  // stream or when the medium fails).
  virtual int64_t read(void* buffer, int64_t count) = 0;
  virtual int64_t write(const void* buffer, int64_t count) = 0;
  virtual int64_t position() const = 0;
  virtual int64_t size() const = 0;
};

}  // namespace vz
