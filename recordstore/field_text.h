// A stored field value as the user reads it, for messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "recordstore/record_layout.h"

namespace rec {

// The value of `field` in a decoded record, as text in the user's locale.
std::string fieldText(const RecordLayout& layout, size_t field, const uint8_t* record);

}  // namespace rec
