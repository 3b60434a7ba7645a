// Where each field of a table lies in its records.
#pragma once

#include <cstddef>
#include <vector>

#include "recordstore/store_format.h"

namespace rec {

struct RecordLayout {
  std::vector<format::FieldDef> fields;
  std::vector<size_t> offsets;  // of each field in the record
  std::vector<size_t> sizes;    // bytes of each field in the record
  size_t recordSize = 0;
  int autoIncField = -1;  // the first field of the auto-increment type

  bool isBlob(size_t field) const { return format::isBlobType(fields[field].type); }
};

// Raises "General error" for a field type the store does not know.
RecordLayout buildRecordLayout(const std::vector<format::FieldDef>& fields);

}  // namespace rec
