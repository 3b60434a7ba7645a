// What the extraction of one entry hands to its decoder.
#pragma once

#include <string>

#include "archive/base_archiver.h"

namespace archive {

struct TZABaseArchiver::DecodeState {
  std::string fileName;  // with "\" separators, as progress events show it
};

}  // namespace archive
