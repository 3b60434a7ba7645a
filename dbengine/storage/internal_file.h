// Internal files: small files kept inside the database as chains of pages of
// one kind, linked through NextPageNo and known by their first page. The
// first page's data starts with a 10-byte header (header length, stored
// size, uncompressed size, compression algorithm).
//
// A transacted file goes through a session's pages and is committed with
// it; it is always read and written whole, optionally compressed.
//
// A direct file is made once with a fixed size and never encrypted; after
// that its bytes are read, written and locked straight in the file, outside
// any session, at the place this rule gives position p: chain position
// x = p + 10 lies in page ceil(x / D) - 1 at data offset x mod D. (When x is
// a multiple of D, that is offset 0 of the page before the one a plain
// division gives; every process sharing the file must use the same rule.)
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "dbengine/storage/compression.h"
#include "dbengine/storage/database_file_format.h"

namespace vz {

class TVZPageManager;
class TVZDiskPageManager;

struct TVZInternalFileSize {
  int32_t stored = 0;
  int32_t uncompressed = 0;
  uint8_t algorithm = 0;
};

class TVZInternalDBTransactedAccessFile {
 public:
  TVZInternalDBTransactedAccessFile(TVZPageManager& pages, TVZPageType kind) : pages_(pages), kind_(kind) {}

  // A new empty file in the session; answers its start page.
  int32_t create(int32_t sessionID);
  void open(int32_t startPageNo) { start_ = startPageNo; }
  void close() { start_ = -1; }
  bool isOpen() const { return start_ >= 0; }
  int32_t startPageNo() const { return start_; }
  TVZPageType kind() const { return kind_; }

  TVZInternalFileSize size(int32_t sessionID);
  // The whole contents, decompressed.
  std::vector<uint8_t> read(int32_t sessionID);
  // The first `count` bytes of the contents; more than there are fails.
  void read(int32_t sessionID, void* buffer, int32_t count);
  // Replaces the contents; the chain grows or shrinks to fit (pages cut off
  // the end are freed with the session).
  void write(int32_t sessionID, const void* data, int32_t count,
             CompressionAlgorithm algorithm = CompressionAlgorithm::None, uint8_t level = 0);
  // Frees every page of the chain with the session.
  void remove(int32_t sessionID);
  // The chain's page numbers, first page first.
  std::vector<int32_t> pageNumbers(int32_t sessionID);

 private:
  void requireOpen(const char* operation) const;

  TVZPageManager& pages_;
  TVZPageType kind_;
  int32_t start_ = -1;
};

class TVZInternalDBDirectAccessFile {
 public:
  TVZInternalDBDirectAccessFile(TVZDiskPageManager& pages, TVZPageType kind) : pages_(pages), kind_(kind) {}
  virtual ~TVZInternalDBDirectAccessFile() = default;

  // A new file of `size` zero bytes, made in the system session (which the
  // caller commits before the file is used); answers its start page.
  int32_t create(int32_t size);
  // Walks the chain on disk, checking each page's kind, and keeps the page
  // numbers.
  void open(int32_t startPageNo);
  void close();
  bool isOpen() const { return start_ >= 0; }
  int32_t startPageNo() const { return start_; }
  TVZPageType kind() const { return kind_; }
  int32_t size() const;
  const std::vector<int32_t>& pageNumbers() const { return chain_; }

  // Positioned access; a read stops at the end of the file and answers the
  // bytes read.
  int32_t read(int32_t position, void* buffer, int32_t count);
  void write(int32_t position, const void* data, int32_t count);

  bool lockByte(int32_t position);
  bool unlockByte(int32_t position);
  bool isByteLocked(int32_t position);
  bool isRegionLocked(int32_t position, int32_t count);
  // The file's latch: the first byte of its first page.
  bool lockFile();
  bool unlockFile();

  // Frees every page of the chain with the session.
  void remove(int32_t sessionID);

 private:
  struct Place {
    int32_t pageNo;
    int32_t offset;  // in the page, header included
    int32_t length;  // bytes that follow contiguously there
  };
  void requireOpen(const char* operation) const;
  void checkPosition(int32_t position) const;
  // The run of bytes starting at `position`, at most `count` long.
  Place place(int32_t position, int32_t count) const;
  // Calls visit(place, bytes before it) for each contiguous run of bytes
  // [position, position + count) until it answers false.
  void eachRun(int32_t position, int32_t count, const std::function<bool(const Place&, int32_t)>& visit) const;
  // The place of the byte at `position`, which must lie inside the file.
  Place singleByte(const char* operation, int32_t position) const;
  void checkPageKind(int32_t pageNo);

  TVZDiskPageManager& pages_;
  TVZPageType kind_;
  int32_t start_ = -1;
  int32_t size_ = 0;
  std::vector<int32_t> chain_;
};

}  // namespace vz
