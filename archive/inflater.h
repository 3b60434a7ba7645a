// A zlib inflate stream that drains into an output sink through a bounded
// buffer, and the sink that checksums, counts and writes the decoded bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <zlib.h>

namespace platform {
class File;
}

namespace archive {

// Receives decoded bytes: updates the CRC-32 and the count and writes them.
// Refuses (false) a write that fails or that would pass `limit` bytes.
class OutputSink {
 public:
  OutputSink(platform::File& file, uint64_t limit) : file_(file), limit_(limit) {}
  bool put(const uint8_t* data, size_t length);
  uint32_t crc() const { return crc_; }
  uint64_t written() const { return written_; }
  uint64_t limit() const { return limit_; }
  void setLimit(uint64_t limit) { limit_ = limit; }

 private:
  platform::File& file_;
  uint64_t limit_;
  uint32_t crc_ = 0;
  uint64_t written_ = 0;
};

class Inflater {
 public:
  Inflater();  // zlib-wrapped stream (inflateInit)
  ~Inflater();
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Decodes `length` bytes into the sink through an output buffer of
  // `bufferSize` bytes, drained whenever it fills. False on a data error or
  // a refused write. Input after the end of the stream is ignored.
  bool feed(const uint8_t* data, size_t length, OutputSink& sink, size_t bufferSize);
  bool finished() const { return finished_; }

 private:
  z_stream zs_{};
  std::vector<uint8_t> buffer_;
  bool finished_ = false;
};

}  // namespace archive
