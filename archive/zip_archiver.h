// The ZIP archive object.
#pragma once

#include "archive/base_archiver.h"

namespace archive {

class TZipArchiver : public TZABaseArchiver {
 public:
  // Governs writing only; Zip64 records are always honoured when reading.
  TZip64Mode Zip64Mode() const { return zip64Mode_; }
  void setZip64Mode(TZip64Mode mode) { zip64Mode_ = mode; }

 protected:
  // Deflate unless CompressionMode is 0.
  uint16_t compressionMethod() const override;

 private:
  TZip64Mode zip64Mode_ = zmDisabled;
};

}  // namespace archive
