#include "archive/signature_scanner.h"

#include <algorithm>
#include <cstring>

namespace archive {

SignatureScanner::SignatureScanner(ArchiveStream& stream, const uint8_t (&signature)[4], size_t windowSize)
    : stream_(stream), windowSize_(std::max<size_t>(windowSize, 8)), fileSize_(stream.size()) {
  std::memcpy(signature_, signature, 4);
}

std::optional<uint64_t> SignatureScanner::find(uint64_t from) {
  uint64_t pos = from;
  while (pos + 4 <= fileSize_) {
    // Refill unless `pos` and the next four bytes lie in the kept window.
    if (pos < windowStart_ || pos + 4 > windowStart_ + window_.size()) {
      windowStart_ = pos;
      window_.resize(size_t(std::min<uint64_t>(windowSize_, fileSize_ - pos)));
      window_.resize(stream_.readAt(pos, window_.data(), window_.size()));
      if (window_.size() < 4) return std::nullopt;
    }
    const uint8_t* base = window_.data();
    const size_t begin = size_t(pos - windowStart_);
    const size_t last = window_.size() - 4;  // last start that fits the window
    for (size_t i = begin; i <= last; ++i) {
      if (base[i] == signature_[0] && std::memcmp(base + i, signature_, 4) == 0) return windowStart_ + i;
    }
    // The next window starts 3 bytes before this one's end (4 bytes of overlap
    // with the bytes not yet tried as a start).
    pos = windowStart_ + last + 1;
    if (windowStart_ + window_.size() >= fileSize_) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace archive
