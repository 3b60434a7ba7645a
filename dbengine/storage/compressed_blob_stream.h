// A BLOB value seen through its stored blocks: a seekable stream of the
// uncompressed bytes over an underlying stream that holds the stored form
// (see compressed_blob_format.h). A read decodes only the blocks it touches;
// writing never rewrites more than the last block. With algorithm None the
// stored bytes are the value itself and everything goes straight to the
// underlying stream, offset by the start position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dbengine/storage/compressed_blob_format.h"
#include "dbengine/storage/vz_streams.h"

namespace vz {

class TVZCompressedBLOBStream : public TVZStream {
 public:
  struct BlockEntry {
    CompressedBlockHeader header;
    int64_t headerPosition = 0;  // in the underlying stream
  };

  // `underlying` must outlive this object; it is not owned. For an existing
  // value (`newValue` false) the block headers are walked at once:
  // 10103 when the start position cannot be reached, 10082 when the stored
  // bytes hold fewer blocks than the descriptor announces (with `tolerant`
  // the count found is taken instead), 10083 when a block's length leads
  // outside the stored bytes. A new value starts empty whatever the
  // descriptor's sizes say.
  TVZCompressedBLOBStream(TVZStream& underlying, bool tolerant, bool newValue,
                          const BlobStreamDescriptor& descriptor);

  // Read, write, seek and size changes of the uncompressed value. Failures
  // raise EVZException with the codes of the stored form: 10086-10090 when
  // reading a block, 10085 and 10100/10101 when writing one, 10093 and
  // 10097 when changing the size.
  size_t read(void* buffer, size_t count) override;
  size_t write(const void* data, size_t count) override;
  int64_t seek(int64_t offset, SeekOrigin origin) override;
  int64_t size() override { return uncompressedSize(); }
  void setSize(int64_t newSize) override;

  int64_t uncompressedSize() const { return uncompressedSize_; }
  // Number of stored blocks (0 for algorithm None), for the caller to store.
  int64_t blockCount() const { return int64_t(blocks_.size()); }
  // (1 - stored compressed bytes / uncompressed size) * 100; 0 for an
  // unframed or empty value.
  double compressionRatio() const;
  // Bytes of the stored form: headers and compressed data (the value's
  // length for algorithm None).
  int64_t storedSize() const;
  // The block size in use (the descriptor's, or the one of its level).
  uint32_t blockSize() const { return blockSize_; }
  // The descriptor brought up to date with the current size and count.
  BlobStreamDescriptor descriptor() const;
  const std::vector<BlockEntry>& blocks() const { return blocks_; }

 private:
  bool framed() const { return algorithm_ != CompressionAlgorithm::None; }
  void walkHeaders(bool tolerant, int64_t announcedBlocks, int64_t announcedSize);
  // The uncompressed bytes of block `index` (cached until the next change).
  const std::vector<uint8_t>& decodeBlock(size_t index);
  struct EncodedBlock {
    CompressedBlockHeader header;
    std::vector<uint8_t> packed;
  };
  // One block's header and compressed bytes (10085 when the compressor fails).
  EncodedBlock encodeBlock(const uint8_t* data, size_t length) const;
  // `length` bytes as blocks of B bytes (the last may be shorter).
  std::vector<EncodedBlock> encodePieces(const uint8_t* data, size_t length) const;
  // Appends one block after the stored blocks.
  void appendBlock(const EncodedBlock& block, int32_t writeError);
  // Keeps the first `first` blocks and stores `blocks` after them.
  void replaceFrom(size_t first, const std::vector<EncodedBlock>& blocks, int32_t writeError);
  // Keeps the first `keep` blocks and cuts the stored bytes after them.
  void keepBlocks(size_t keep);
  void cutUnderlying();
  // Extends the value with zeros, through the write path.
  void growTo(int64_t newSize);
  void seekUnderlying(int64_t position, int32_t errorCode);
  int64_t endOfBlocks() const;
  int64_t blockStart(size_t index) const { return int64_t(index) * blockSize_; }

  TVZStream& underlying_;
  int64_t startPosition_;
  uint32_t descriptorBlockSize_;
  uint32_t blockSize_;
  CompressionAlgorithm algorithm_;
  uint8_t level_;
  std::vector<BlockEntry> blocks_;
  int64_t uncompressedSize_ = 0;
  int64_t position_ = 0;
  int64_t currentBlock_ = 0;
  int64_t compressedTotal_ = 0;
  int64_t cachedBlock_ = -1;
  std::vector<uint8_t> cache_;
};

}  // namespace vz
