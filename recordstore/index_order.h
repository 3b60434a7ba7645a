// The order of an index: keys compared field by field, texts by the user's
// locale (ignoring case when the index says so), the descending bit
// reversing the result; and the binary search that places a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "recordstore/record_layout.h"
#include "recordstore/store_format.h"

namespace rec {

// Negative, 0 or positive for two decoded records.
int compareKeys(const RecordLayout& layout, const format::IndexDef& index, const uint8_t* a, const uint8_t* b);

struct Placement {
  size_t position;  // where the new item goes in the list
  bool equalFound;  // the search met an item with an equal key
  size_t equalAt;   // that item, when found
};

// Binary search over `count` items ordered by the index, with midpoint
// (low + high) / 2: when it meets an item whose key equals the new one it
// stops and the new item goes right after it; else where the search ends.
// `compareItem(i)` compares item i's key with the new key.
Placement placeInOrder(size_t count, const std::function<int(size_t)>& compareItem);

}  // namespace rec
