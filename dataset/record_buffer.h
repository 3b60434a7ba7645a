// One record as the dataset holds it: a value per field, in field order.
#pragma once

#include <cstdint>
#include <vector>

#include "dataset/variant.h"

namespace dataset {

struct RecordBuffer {
  // Null for a field without a value.
  std::vector<Variant> values;
  // A large-object field whose value the derived dataset has not read yet;
  // it is loaded the first time the value is asked for.
  std::vector<bool> pendingBlobs;
  // Where the record lives, in the derived dataset's own terms (a record
  // number, a packed record identifier); -1 for a record not stored yet.
  int64_t bookmark = -1;
  // The derived dataset's own encoding of the record as it was read; the
  // dataset base copies it with the buffer and never looks inside.
  std::vector<uint8_t> raw;

  // Every field null, nothing pending, no bookmark, no encoding.
  void reset(size_t fieldCount) {
    values.assign(fieldCount, Variant::null());
    pendingBlobs.assign(fieldCount, false);
    bookmark = -1;
    raw.clear();
  }
};

}  // namespace dataset
