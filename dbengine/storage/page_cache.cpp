#include "dbengine/storage/page_cache.h"

#include <algorithm>
#include <vector>

#include "platform/system.h"

namespace vz {

size_t TVZPageCache::defaultCapacity() {
  constexpr uint64_t kBytesPerCachedPage = 65536;
  constexpr uint64_t kMostPages = 1000;
  return size_t(std::max<uint64_t>(1, std::min(platform::availablePhysicalMemory() / kBytesPerCachedPage, kMostPages)));
}

TVZPagePtr TVZPageCache::find(int32_t pageNo) {
  auto it = pages_.find(pageNo);
  if (it == pages_.end()) return nullptr;
  it->second->lastUse = ++clock_;
  return it->second;
}

void TVZPageCache::put(TVZPagePtr page) {
  page->lastUse = ++clock_;
  page->dirty = false;
  pages_[page->pageNo] = std::move(page);
  trim();
}

void TVZPageCache::remove(int32_t pageNo) { pages_.erase(pageNo); }

void TVZPageCache::setCapacity(size_t capacity) {
  capacity_ = capacity ? capacity : 1;
  trim();
}

void TVZPageCache::trim() {
  if (pages_.size() <= capacity_) return;
  std::vector<std::pair<uint64_t, int32_t>> idle;
  for (const auto& [pageNo, page] : pages_) {
    if (page->useCount == 0) idle.emplace_back(page->lastUse, pageNo);
  }
  std::sort(idle.begin(), idle.end());
  for (const auto& [stamp, pageNo] : idle) {
    if (pages_.size() <= capacity_) break;
    pages_.erase(pageNo);
  }
}

}  // namespace vz
