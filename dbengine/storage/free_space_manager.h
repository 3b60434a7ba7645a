// Which pages of a database file are in use: the PFS pages (one bit per
// page) and the EAM pages (two bits per extent of ExtentPageCount pages),
// allocation, freeing, and growing and shrinking the file.
//
// Every allocation and free runs under the header lock and starts from the
// page counts on disk, so processes sharing the file never hand out the same
// page. PFS and EAM pages are read and written straight to the file; they
// are never encrypted, never handed out and never freed.
#pragma once

#include <cstdint>
#include <map>
#include <set>

#include "dbengine/storage/page.h"

namespace vz {

class TVZDiskPageManager;

// Where the PFS and EAM pages of a file lie, from its page and extent sizes.
class TVZFreeSpaceGeometry {
 public:
  TVZFreeSpaceGeometry(uint16_t pageSize, uint16_t extentPageCount);

  int64_t pagesPerPFS() const { return pagesPerPFS_; }        // P = 8 * D
  int64_t extentsPerEAM() const { return extentsPerEAM_; }    // E = 4 * D
  int64_t pagesPerEAM() const { return extentsPerEAM_ * extentPages_; }
  int64_t extentPages() const { return extentPages_; }        // X

  bool isPFSPage(int64_t pageNo) const { return pageNo >= 0 && pageNo % pagesPerPFS_ == 0; }
  bool isEAMPage(int64_t pageNo) const { return pageNo >= 0 && pageNo == eamPageNo(pageNo / pagesPerEAM()); }
  bool isMapPage(int64_t pageNo) const { return isPFSPage(pageNo) || isEAMPage(pageNo); }
  // Page number of PFS page k / EAM page k.
  int64_t pfsPageNo(int64_t k) const { return k * pagesPerPFS_; }
  int64_t eamPageNo(int64_t k) const;
  // The page that holds the bit of page n, and the extent of page n.
  int64_t pfsIndexOf(int64_t pageNo) const { return pageNo / pagesPerPFS_; }
  int64_t extentOf(int64_t pageNo) const { return pageNo / extentPages_; }
  // max(total / 10, X); 6 for an empty file.
  int64_t growthStep(int64_t totalPageCount) const;

 private:
  int64_t pagesPerPFS_;
  int64_t extentsPerEAM_;
  int64_t extentPages_;
};

class TVZDatabaseFreeSpaceManager {
 public:
  explicit TVZDatabaseFreeSpaceManager(TVZDiskPageManager& manager);

  const TVZFreeSpaceGeometry& geometry() const { return geometry_; }
  bool isPFSOrEAMPage(int32_t pageNo) const { return geometry_.isMapPage(pageNo); }

  // A free page, marked used; the file grows when there is none.
  int32_t allocate();
  // Marks the page free; the file shrinks by whole growth steps when its
  // free tail allows.
  void free(int32_t pageNo);

  // What the maps on disk say (for inspection).
  bool isPageUsed(int32_t pageNo);
  uint8_t extentValue(int64_t extent);

 private:
  // The map pages touched by one allocation or free, read once and written
  // back at the end.
  class MapPages {
   public:
    explicit MapPages(TVZDiskPageManager& manager) : manager_(manager) {}
    // The map page, read on first use; its kind is checked.
    TVZPage& get(int64_t pageNo, uint16_t type);
    // A new map page of `type`: data byte 0 is 1, the rest 0.
    TVZPage& fresh(int64_t pageNo, uint16_t type);
    void changed(int64_t pageNo) { dirty_.insert(pageNo); }
    // Writes the changed pages that lie inside the file.
    void writeBack(int64_t totalPageCount);

   private:
    TVZDiskPageManager& manager_;
    std::map<int64_t, TVZPage> pages_;
    std::set<int64_t> dirty_;
  };

  int64_t findFreeInEAM(MapPages& maps, int64_t eamIndex, int64_t total);
  int64_t grow(MapPages& maps);
  bool pfsBit(MapPages& maps, int64_t pageNo, int64_t total);
  void setPFSBit(MapPages& maps, int64_t pageNo, bool used);
  void refreshExtent(MapPages& maps, int64_t extent, int64_t total);
  int32_t highestUsedPage(MapPages& maps, int64_t total);
  void checkAddressable(int64_t pageNo) const;

  TVZDiskPageManager& manager_;
  TVZFreeSpaceGeometry geometry_;
};

}  // namespace vz
