// Forward search for a 4-byte signature in an archive, reading windows of a
// fixed size that overlap by 4 bytes so that a signature across two windows
// is still found. The last window read is kept, so a run of searches
// moving forward reads each part of the file about once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "archive/archive_stream.h"

namespace archive {

class SignatureScanner {
 public:
  SignatureScanner(ArchiveStream& stream, const uint8_t (&signature)[4], size_t windowSize);

  // Position of the first occurrence at or after `from`, or nullopt.
  std::optional<uint64_t> find(uint64_t from);

 private:
  ArchiveStream& stream_;
  uint8_t signature_[4];
  size_t windowSize_;
  uint64_t fileSize_;
  std::vector<uint8_t> window_;
  uint64_t windowStart_ = 0;
};

}  // namespace archive
