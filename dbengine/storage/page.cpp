#include "dbengine/storage/page.h"

#include <algorithm>
#include <cstring>

namespace vz {

std::shared_ptr<TVZPage> TVZPage::clone() const {
  auto copy = std::make_shared<TVZPage>(pageSize());
  copy->buffer_ = buffer_;
  copy->pageNo = pageNo;
  copy->sessionID = sessionID;
  copy->mayBeEncrypted = mayBeEncrypted;
  copy->readFromDisk = readFromDisk;
  return copy;
}

bool TVZPage::hasMagic() const { return std::memcmp(bytes() + page_header::kSignature, kPageMagic.data(), 4) == 0; }

void TVZPage::initialize(TVZPageType type, int32_t version) {
  std::fill(buffer_.begin(), buffer_.end(), uint8_t(0));
  std::memcpy(bytes() + page_header::kSignature, kPageMagic.data(), kPageMagic.size());
  setVersion(version);
  setType(type);
  setNextPageNo(-1);
  setOwnerTableID(-1);
  platform::storeI32(bytes() + page_header::kReserved26, -1);
}

TVZPageRef::TVZPageRef(TVZPagePtr page) : page_(std::move(page)) {
  if (page_) ++page_->useCount;
}

TVZPageRef::~TVZPageRef() { reset(); }

TVZPageRef::TVZPageRef(TVZPageRef&& other) noexcept : page_(std::move(other.page_)) {}

TVZPageRef& TVZPageRef::operator=(TVZPageRef&& other) noexcept {
  if (this != &other) {
    reset();
    page_ = std::move(other.page_);
  }
  return *this;
}

void TVZPageRef::reset() {
  if (page_) --page_->useCount;
  page_.reset();
}

}  // namespace vz
