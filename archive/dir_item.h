// One entry of the archive's directory as read from its central header, and
// the list of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/options.h"
#include "archive/zip_format.h"

namespace archive {

struct TZAExtraBlock {
  uint16_t tag = 0;
  std::string data;  // bytes as stored
};

struct TDirItem {
  zipfmt::CentralHeader header;
  std::string name;     // Windows-1252, "/" separators
  std::string comment;  // bytes as stored
  std::vector<TZAExtraBlock> extra;

  // The Zip64 extended information block.
  bool hasZip64 = false;
  uint64_t zip64UncompressedSize = 0;
  uint64_t zip64CompressedSize = 0;
  uint64_t zip64LocalOffset = 0;
  uint32_t zip64DiskStart = 0;

  // Processing state.
  bool selected = false;
  bool processed = false;  // an operation was applied in this session
  TZAProcessOperation lastOperation = poExtract;

  // The sizes and the offset in force: the Zip64 value where the 32-bit
  // field is all ones and the block gave one.
  uint64_t compressedSize() const {
    return header.compressedSize == zipfmt::kAllOnes32 && hasZip64 ? zip64CompressedSize : header.compressedSize;
  }
  uint64_t uncompressedSize() const {
    return header.uncompressedSize == zipfmt::kAllOnes32 && hasZip64 ? zip64UncompressedSize
                                                                     : header.uncompressedSize;
  }
  uint64_t localHeaderOffset() const {
    return header.localOffset == zipfmt::kAllOnes32 && hasZip64 ? zip64LocalOffset : header.localOffset;
  }
  bool isFolderAttr() const { return (header.externalAttr & zipfmt::kAttrFolder) != 0; }
};

using TZADirArray = std::vector<TDirItem>;

}  // namespace archive
