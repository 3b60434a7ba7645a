#include "archive/inflater.h"

#include <new>

#include "platform/crc32.h"
#include "platform/errors.h"
#include "platform/file.h"

namespace archive {

bool OutputSink::put(const uint8_t* data, size_t length) {
  if (length == 0) return true;
  if (length > limit_ - written_ || written_ > limit_) return false;
  crc_ = platform::crc32(crc_, data, length);
  written_ += length;
  try {
    file_.write(data, length);
  } catch (const platform::EOSError&) {
    return false;
  }
  return true;
}

Inflater::Inflater() {
  if (inflateInit(&zs_) != Z_OK) throw std::bad_alloc();
}

Inflater::~Inflater() { inflateEnd(&zs_); }

bool Inflater::feed(const uint8_t* data, size_t length, OutputSink& sink, size_t bufferSize) {
  if (finished_) return true;
  if (buffer_.size() < bufferSize) buffer_.resize(bufferSize);
  zs_.next_in = const_cast<Bytef*>(data);
  zs_.avail_in = uInt(length);
  for (;;) {
    zs_.next_out = buffer_.data();
    zs_.avail_out = uInt(buffer_.size());
    const uInt inBefore = zs_.avail_in;
    const int rc = inflate(&zs_, Z_NO_FLUSH);
    const size_t produced = buffer_.size() - zs_.avail_out;
    if (!sink.put(buffer_.data(), produced)) return false;
    if (rc == Z_STREAM_END) {
      finished_ = true;
      return true;
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR) return false;
    const bool bufferFull = zs_.avail_out == 0;
    if (zs_.avail_in == 0 && !bufferFull) return true;
    if (produced == 0 && zs_.avail_in == inBefore) return false;  // no progress: the data is unusable
  }
}

}  // namespace archive
