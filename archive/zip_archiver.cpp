#include "archive/zip_archiver.h"

namespace archive {

uint16_t TZipArchiver::compressionMethod() const {
  return CompressionMode() != 0 ? zipfmt::kMethodDeflate : zipfmt::kMethodStored;
}

}  // namespace archive
