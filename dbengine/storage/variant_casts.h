// The conversion of a value's bytes from one storage type to another.
#pragma once

#include <cstdint>
#include <vector>

#include "dbengine/storage/data_types.h"

namespace vz {

// True when the cast rules list a conversion from `from` to `to` (the same
// type and the other text of the same width included).
bool castListed(StorageType from, StorageType to);

// The `size` bytes at `data`, a present value of type `from`, in the
// encoding of `to`. Raises "Cannot cast from '%s' to '%s'": 30052 for a
// conversion that is not listed, 30051 for one that fails on the data.
std::vector<uint8_t> convertValue(StorageType from, const uint8_t* data, int32_t size, StorageType to);

// Raises "Cannot cast from '%s' to '%s'" with the given code.
[[noreturn]] void throwCastError(int32_t code, StorageType from, StorageType to);

}  // namespace vz
