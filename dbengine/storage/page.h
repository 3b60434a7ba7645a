// One page of a database file in memory: its number, a buffer of PageSize
// bytes (the 40-byte page header, then the page data) and its bookkeeping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "dbengine/storage/database_file_format.h"

namespace vz {

class TVZPage {
 public:
  explicit TVZPage(uint16_t pageSize) : buffer_(pageSize, 0) {}

  int32_t pageNo = -1;       // -1 until assigned
  int32_t sessionID = 0;     // the session whose page list holds it
  int32_t useCount = 0;      // holders that are using it now; a used page is never dropped
  uint64_t lastUse = 0;      // stamp of the latest access, for dropping the least recently used
  bool dirty = false;        // changed since it was read or written
  bool mayBeEncrypted = true;  // false for pages of direct internal files
  bool readFromDisk = false;

  uint16_t pageSize() const { return uint16_t(buffer_.size()); }
  size_t dataSize() const { return buffer_.size() - kPageHeaderSize; }
  uint8_t* bytes() { return buffer_.data(); }
  const uint8_t* bytes() const { return buffer_.data(); }
  uint8_t* data() { return buffer_.data() + kPageHeaderSize; }
  const uint8_t* data() const { return buffer_.data() + kPageHeaderSize; }

  // A copy with the same number and contents, owned by nobody yet.
  std::shared_ptr<TVZPage> clone() const;

  // Header fields.
  bool hasMagic() const;
  int32_t version() const { return platform::loadI32(bytes() + page_header::kPageVersion); }
  void setVersion(int32_t v) { platform::storeI32(bytes() + page_header::kPageVersion, v); }
  uint16_t type() const { return platform::loadU16(bytes() + page_header::kPageType); }
  void setType(TVZPageType t) { platform::storeU16(bytes() + page_header::kPageType, uint16_t(t)); }
  int32_t nextPageNo() const { return platform::loadI32(bytes() + page_header::kNextPageNo); }
  void setNextPageNo(int32_t n) { platform::storeI32(bytes() + page_header::kNextPageNo, n); }
  uint32_t dataCRC() const { return platform::loadU32(bytes() + page_header::kDataCRC); }
  void setDataCRC(uint32_t crc) { platform::storeU32(bytes() + page_header::kDataCRC, crc); }
  uint8_t cipherID() const { return bytes()[page_header::kCipherID]; }
  void setCipherID(uint8_t id) { bytes()[page_header::kCipherID] = id; }
  int32_t ownerTableID() const { return platform::loadI32(bytes() + page_header::kOwnerTableID); }
  void setOwnerTableID(int32_t id) { platform::storeI32(bytes() + page_header::kOwnerTableID, id); }

  // Makes this a fresh page of `type`: zero data, the page magic, the given
  // write stamp, no next page, no owner.
  void initialize(TVZPageType type, int32_t version);

 private:
  std::vector<uint8_t> buffer_;
};

using TVZPagePtr = std::shared_ptr<TVZPage>;

// A page in use: counts as a holder of the page while it lives, so the page
// stays in memory. Handed out by the page managers.
class TVZPageRef {
 public:
  TVZPageRef() = default;
  explicit TVZPageRef(TVZPagePtr page);
  ~TVZPageRef();
  TVZPageRef(TVZPageRef&& other) noexcept;
  TVZPageRef& operator=(TVZPageRef&& other) noexcept;
  TVZPageRef(const TVZPageRef&) = delete;
  TVZPageRef& operator=(const TVZPageRef&) = delete;

  TVZPage* get() const { return page_.get(); }
  TVZPage* operator->() const { return page_.get(); }
  TVZPage& operator*() const { return *page_; }
  explicit operator bool() const { return bool(page_); }
  void reset();

 private:
  TVZPagePtr page_;
};

}  // namespace vz
