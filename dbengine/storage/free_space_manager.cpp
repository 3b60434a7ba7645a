#include "dbengine/storage/free_space_manager.h"

#include <algorithm>
#include <climits>

#include "dbengine/storage/database_file_errors.h"
#include "dbengine/storage/page_manager.h"

namespace vz {

// ---- geometry ----------------------------------------------------------------

TVZFreeSpaceGeometry::TVZFreeSpaceGeometry(uint16_t pageSize, uint16_t extentPageCount)
    : pagesPerPFS_(int64_t(std::max<size_t>(pageDataSize(pageSize), 1)) * kPagesPerPFSByte),
      extentsPerEAM_(int64_t(std::max<size_t>(pageDataSize(pageSize), 1)) * kExtentsPerEAMByte),
      extentPages_(std::max<int64_t>(extentPageCount, 1)) {}

int64_t TVZFreeSpaceGeometry::eamPageNo(int64_t k) const {
  const int64_t base = k * pagesPerEAM();
  return isPFSPage(base) ? base + 1 : base;
}

int64_t TVZFreeSpaceGeometry::growthStep(int64_t totalPageCount) const {
  return totalPageCount == 0 ? kFirstGrowthPages : std::max(totalPageCount / 10, extentPages_);
}

namespace {

// Calls fn(pageNo, type) for every PFS and EAM page in [from, to).
template <class Fn>
void forEachMapPage(const TVZFreeSpaceGeometry& g, int64_t from, int64_t to, Fn&& fn) {
  for (int64_t q = (from + g.pagesPerPFS() - 1) / g.pagesPerPFS(); g.pfsPageNo(q) < to; ++q)
    fn(g.pfsPageNo(q), uint16_t(TVZPageType::PFS));
  int64_t k = from / g.pagesPerEAM();
  if (g.eamPageNo(k) < from) ++k;
  for (; g.eamPageNo(k) < to; ++k) fn(g.eamPageNo(k), uint16_t(TVZPageType::EAM));
}

}  // namespace

// ---- map pages of one operation -----------------------------------------------

TVZPage& TVZDatabaseFreeSpaceManager::MapPages::get(int64_t pageNo, uint16_t type) {
  auto it = pages_.find(pageNo);
  if (it != pages_.end()) return it->second;
  TVZPage page(manager_.pageSize());
  page.pageNo = int32_t(pageNo);
  if (!manager_.readPage(page)) raise(msg::kPageReadError, {pageNo, int(type)});
  if (page.type() != type && !manager_.repairMode()) raise(msg::kInvalidPageType, {int(type), int(page.type())});
  return pages_.emplace(pageNo, std::move(page)).first->second;
}

TVZPage& TVZDatabaseFreeSpaceManager::MapPages::fresh(int64_t pageNo, uint16_t type) {
  TVZPage page(manager_.pageSize());
  page.pageNo = int32_t(pageNo);
  page.initialize(TVZPageType(type), manager_.newPageVersion());
  page.data()[0] = 1;
  pages_.insert_or_assign(pageNo, std::move(page));
  dirty_.insert(pageNo);
  return pages_.at(pageNo);
}

void TVZDatabaseFreeSpaceManager::MapPages::writeBack(int64_t totalPageCount) {
  for (int64_t pageNo : dirty_) {
    if (pageNo < totalPageCount) manager_.writePage(pages_.at(pageNo));
  }
  dirty_.clear();
}

// ---- the manager ---------------------------------------------------------------

TVZDatabaseFreeSpaceManager::TVZDatabaseFreeSpaceManager(TVZDiskPageManager& manager)
    : manager_(manager), geometry_(manager.pageSize(), manager.extentPageCount()) {}

bool TVZDatabaseFreeSpaceManager::pfsBit(MapPages& maps, int64_t pageNo, int64_t total) {
  const int64_t pfs = geometry_.pfsPageNo(geometry_.pfsIndexOf(pageNo));
  if (pfs >= total) return false;  // beyond the last PFS page: free
  const TVZPage& page = maps.get(pfs, uint16_t(TVZPageType::PFS));
  const int64_t bit = pageNo - pfs;
  return (page.data()[bit / 8] >> (bit % 8)) & 1;
}

void TVZDatabaseFreeSpaceManager::setPFSBit(MapPages& maps, int64_t pageNo, bool used) {
  const int64_t pfs = geometry_.pfsPageNo(geometry_.pfsIndexOf(pageNo));
  TVZPage& page = maps.get(pfs, uint16_t(TVZPageType::PFS));
  const int64_t bit = pageNo - pfs;
  uint8_t& byte = page.data()[bit / 8];
  byte = used ? uint8_t(byte | (1u << (bit % 8))) : uint8_t(byte & ~(1u << (bit % 8)));
  maps.changed(pfs);
}

void TVZDatabaseFreeSpaceManager::refreshExtent(MapPages& maps, int64_t extent, int64_t total) {
  const int64_t eam = geometry_.eamPageNo(extent / geometry_.extentsPerEAM());
  if (eam >= total) return;  // an extent past the end of the file, with no map of its own
  const int64_t first = extent * geometry_.extentPages();
  int64_t used = 0;
  for (int64_t n = first; n < first + geometry_.extentPages(); ++n) used += pfsBit(maps, n, total) ? 1 : 0;
  const uint8_t value = used == 0 ? kExtentFree : used == geometry_.extentPages() ? kExtentFull : kExtentPartlyUsed;
  TVZPage& page = maps.get(eam, uint16_t(TVZPageType::EAM));
  const int64_t index = extent % geometry_.extentsPerEAM();
  uint8_t& byte = page.data()[index / kExtentsPerEAMByte];
  const int shift = int(2 * (index % kExtentsPerEAMByte));
  byte = uint8_t((byte & ~(3u << shift)) | (unsigned(value) << shift));
  maps.changed(eam);
}

int64_t TVZDatabaseFreeSpaceManager::findFreeInEAM(MapPages& maps, int64_t eamIndex, int64_t total) {
  const int64_t eamNo = geometry_.eamPageNo(eamIndex);
  if (eamNo >= total) return -1;
  const size_t dataSize = manager_.pageDataSize();
  const uint8_t* eam = maps.get(eamNo, uint16_t(TVZPageType::EAM)).data();
  int64_t extent = -1;
  for (size_t i = 0; i < dataSize && extent < 0; ++i) {
    if (eam[i] == 0xFF) continue;
    for (int j = 0; j < kExtentsPerEAMByte; ++j) {
      if (((eam[i] >> (2 * j)) & 2) == 0) {
        extent = eamIndex * geometry_.extentsPerEAM() + int64_t(i) * kExtentsPerEAMByte + j;
        break;
      }
    }
  }
  if (extent < 0) return -1;
  const int64_t firstPFS = extent * geometry_.extentPages() / geometry_.pagesPerPFS();
  const int64_t lastPFS = std::min(((extent + 1) * geometry_.extentPages() - 1) / geometry_.pagesPerPFS(),
                                   (total - 1) / geometry_.pagesPerPFS());
  for (int64_t q = firstPFS; q <= lastPFS; ++q) {
    const uint8_t* pfs = maps.get(geometry_.pfsPageNo(q), uint16_t(TVZPageType::PFS)).data();
    for (size_t i = 0; i < dataSize; ++i) {
      if (pfs[i] == 0xFF) continue;
      for (int bit = 0; bit < 8; ++bit) {
        if (!((pfs[i] >> bit) & 1)) {
          const int64_t pageNo = geometry_.pfsPageNo(q) + int64_t(i) * 8 + bit;
          return pageNo < total ? pageNo : -1;
        }
      }
    }
  }
  return -1;
}

int64_t TVZDatabaseFreeSpaceManager::grow(MapPages& maps) {
  TVZDatabaseFileHeader& h = manager_.header();
  const int64_t oldTotal = h.totalPageCount;
  int64_t candidate = int64_t(h.lastUsedPageNo) + 1;
  while (geometry_.isMapPage(candidate)) ++candidate;
  int64_t step = geometry_.growthStep(oldTotal);
  if (candidate >= oldTotal + step) step = candidate - oldTotal + 1;
  while (geometry_.isMapPage(oldTotal + step - 1)) ++step;
  const int64_t newTotal = oldTotal + step;
  if (newTotal > INT32_MAX) raise(msg::kPageNotAddressable, {candidate, oldTotal});

  manager_.file().setSize(manager_.pageOffset(int32_t(oldTotal)) + step * manager_.pageSize());
  h.totalPageCount = int32_t(newTotal);
  // New map pages: PFS pages first, so that the EAM pages can be marked in them.
  std::vector<int64_t> fresh;
  forEachMapPage(geometry_, oldTotal, newTotal, [&](int64_t pageNo, uint16_t type) {
    maps.fresh(pageNo, type);
    fresh.push_back(pageNo);
  });
  for (int64_t pageNo : fresh) {
    if (geometry_.isEAMPage(pageNo)) setPFSBit(maps, pageNo, true);
  }
  for (int64_t pageNo : fresh) refreshExtent(maps, geometry_.extentOf(pageNo), newTotal);
  return candidate;
}

int32_t TVZDatabaseFreeSpaceManager::highestUsedPage(MapPages& maps, int64_t total) {
  const size_t dataSize = manager_.pageDataSize();
  for (int64_t q = (total - 1) / geometry_.pagesPerPFS(); q >= 0; --q) {
    const int64_t first = geometry_.pfsPageNo(q);
    const int64_t lastBit = std::min<int64_t>(geometry_.pagesPerPFS(), total - first) - 1;
    const uint8_t* pfs = maps.get(first, uint16_t(TVZPageType::PFS)).data();
    for (int64_t i = std::min<int64_t>(lastBit / 8, int64_t(dataSize) - 1); i >= 0; --i) {
      if (pfs[i] == 0) continue;
      for (int bit = 7; bit >= 0; --bit) {
        const int64_t index = i * 8 + bit;
        if (index > lastBit || !((pfs[i] >> bit) & 1)) continue;
        if (!geometry_.isMapPage(first + index)) return int32_t(first + index);
      }
    }
  }
  return -1;
}

int32_t TVZDatabaseFreeSpaceManager::allocate() {
  TVZHeaderLock lock(manager_);
  manager_.readHeader();
  TVZDatabaseFileHeader& h = manager_.header();
  const int32_t total0 = h.totalPageCount;
  const int32_t lastUsed0 = h.lastUsedPageNo;
  MapPages maps(manager_);

  int64_t result = -1;
  if (h.lastUsedPageNo != -1 && h.totalPageCount > 0) {
    const int64_t lastEAM = (int64_t(h.totalPageCount) - 1) / geometry_.pagesPerEAM();
    result = findFreeInEAM(maps, lastEAM, h.totalPageCount);
    for (int64_t k = 0; result < 0 && k < lastEAM; ++k) result = findFreeInEAM(maps, k, h.totalPageCount);
  }
  if (result < 0) result = grow(maps);

  if (pfsBit(maps, result, h.totalPageCount)) raise(msg::kPageAlreadyUsed, {result});
  setPFSBit(maps, result, true);
  refreshExtent(maps, geometry_.extentOf(result), h.totalPageCount);
  if (result > h.lastUsedPageNo) h.lastUsedPageNo = int32_t(result);
  maps.writeBack(h.totalPageCount);
  if (h.totalPageCount != total0 || h.lastUsedPageNo != lastUsed0) manager_.writeHeader();
  return int32_t(result);
}

void TVZDatabaseFreeSpaceManager::free(int32_t pageNo) {
  if (geometry_.isMapPage(pageNo)) raise(msg::kCannotFreeMapPage, {pageNo});
  TVZHeaderLock lock(manager_);
  manager_.readHeader();
  TVZDatabaseFileHeader& h = manager_.header();
  const int64_t total = h.totalPageCount;
  const int32_t lastUsed0 = h.lastUsedPageNo;
  if (pageNo < 0 || pageNo >= total) raise(msg::kPageNotAddressable, {pageNo, h.totalPageCount});
  MapPages maps(manager_);

  if (!pfsBit(maps, pageNo, total)) raise(msg::kPageAlreadyFree, {pageNo});
  setPFSBit(maps, pageNo, false);
  refreshExtent(maps, geometry_.extentOf(pageNo), total);
  h.lastUsedPageNo = highestUsedPage(maps, total);

  const int64_t step = geometry_.growthStep(total);
  const int64_t freeTail = total - h.lastUsedPageNo - 1;
  int64_t newTotal = total;
  if (freeTail >= step) {
    newTotal = total - freeTail / step * step;
    // Map pages cut off with the tail leave no trace in the maps that stay.
    forEachMapPage(geometry_, newTotal, total, [&](int64_t mapPage, uint16_t) {
      if (geometry_.pfsPageNo(geometry_.pfsIndexOf(mapPage)) >= newTotal) return;
      setPFSBit(maps, mapPage, false);
      refreshExtent(maps, geometry_.extentOf(mapPage), newTotal);
    });
  }
  maps.writeBack(newTotal);
  if (newTotal != total) {
    manager_.file().setSize(manager_.pageOffset(int32_t(newTotal)));
    h.totalPageCount = int32_t(newTotal);
  }
  if (h.totalPageCount != total || h.lastUsedPageNo != lastUsed0) manager_.writeHeader();
}

bool TVZDatabaseFreeSpaceManager::isPageUsed(int32_t pageNo) {
  MapPages maps(manager_);
  return pfsBit(maps, pageNo, manager_.header().totalPageCount);
}

uint8_t TVZDatabaseFreeSpaceManager::extentValue(int64_t extent) {
  const int64_t eam = geometry_.eamPageNo(extent / geometry_.extentsPerEAM());
  if (eam >= manager_.header().totalPageCount) return kExtentFree;
  MapPages maps(manager_);
  const uint8_t* data = maps.get(eam, uint16_t(TVZPageType::EAM)).data();
  const int64_t index = extent % geometry_.extentsPerEAM();
  return uint8_t((data[index / kExtentsPerEAMByte] >> (2 * (index % kExtentsPerEAMByte))) & 3);
}

}  // namespace vz
