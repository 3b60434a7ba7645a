// The clean pages of one open database file, shared by all sessions of the
// process. The cache keeps at most a fixed number of pages; when a new page
// brings it above that, pages that nobody is using are dropped, least
// recently used first (each access stamps a page from an increasing counter).
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "dbengine/storage/page.h"

namespace vz {

class TVZPageCache {
 public:
  // min(available physical memory / 65,536, 1000) pages, at least one.
  static size_t defaultCapacity();

  explicit TVZPageCache(size_t capacity = defaultCapacity()) : capacity_(capacity ? capacity : 1) {}

  // The cached page, stamped as used now; null when it is not cached.
  TVZPagePtr find(int32_t pageNo);
  // Adds the page or replaces the cached page of that number, then drops
  // unused pages while the cache is above its capacity.
  void put(TVZPagePtr page);
  void remove(int32_t pageNo);
  void clear() { pages_.clear(); }

  size_t size() const { return pages_.size(); }
  size_t capacity() const { return capacity_; }
  void setCapacity(size_t capacity);
  bool hasRoom() const { return pages_.size() < capacity_; }
  bool contains(int32_t pageNo) const { return pages_.count(pageNo) != 0; }

 private:
  void trim();

  std::unordered_map<int32_t, TVZPagePtr> pages_;
  uint64_t clock_ = 0;
  size_t capacity_;
};

}  // namespace vz
