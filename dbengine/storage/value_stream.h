// The value stream format, in which table metadata keeps default values and
// check bounds:
//
//   uint8   storage type code
//   uint8   null marker: 0 when a value follows; 255 written for null (any
//           non-zero value read back means null and nothing follows)
//   int32   data size n               (present values only)
//   n bytes the data in its encoding  (present values only)
//
// TVZVariant::writeTo and readFrom write and read it at a stream's position.
#pragma once

#include "dbengine/storage/vz_streams.h"

namespace vz {

inline constexpr int kValueStreamHeaderSize = 2;  // type and null marker

}  // namespace vz
