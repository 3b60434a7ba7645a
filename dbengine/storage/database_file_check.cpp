#include "dbengine/storage/database_file_check.h"

#include <algorithm>
#include <map>
#include <set>

#include "dbengine/storage/catalogue.h"
#include "dbengine/storage/free_space_manager.h"
#include "dbengine/storage/page_manager.h"
#include "platform/errors.h"
#include "platform/locale.h"

namespace vz {
namespace {

std::string pageText(int64_t pageNo) { return "page " + std::to_string(pageNo); }

std::string kindText(uint16_t type) { return std::string(pageTypeName(type)) + " (" + std::to_string(type) + ")"; }

// Kinds whose data an encrypted database stores encrypted.
bool encryptedKind(uint16_t type) {
  return type != uint16_t(TVZPageType::PFS) && type != uint16_t(TVZPageType::EAM) &&
         type != uint16_t(TVZPageType::ActiveSessionList) && type != uint16_t(TVZPageType::TableLocks);
}

class Checker {
 public:
  Checker(TVZDiskPageManager& manager, TVZCatalogue* catalogue)
      : m_(manager),
        catalogue_(catalogue),
        g_(manager.freeSpace().geometry()),
        total_(manager.header().totalPageCount),
        dataSize_(manager.pageDataSize()) {
    // Only the pages the file really holds are looked at.
    const int64_t present = (manager.file().size() - manager.pageOffset(0)) / manager.pageSize();
    total_ = std::clamp<int64_t>(present, 0, total_);
  }

  TVZFileReport run() {
    checkFileSize();
    readPageHeaders();
    readMaps();
    checkPages();
    checkMapsPastEnd();
    checkExtents();
    checkLastUsed();
    if (m_.isEncrypted()) checkChecksums();
    if (catalogue_) checkCatalogue();
    return std::move(report_);
  }

 private:
  void problem(std::string text) { report_.problems.push_back(std::move(text)); }

  bool inFile(int64_t pageNo) const { return pageNo >= 0 && pageNo < total_; }

  bool used(int64_t pageNo) const {
    auto it = pfs_.find(g_.pfsIndexOf(pageNo));
    if (it == pfs_.end()) return false;
    const int64_t bit = pageNo - g_.pfsPageNo(it->first);
    return (it->second[size_t(bit / 8)] >> (bit % 8)) & 1;
  }

  void checkFileSize() {
    const int64_t needed = m_.pageOffset(0) + int64_t(m_.header().totalPageCount) * m_.pageSize();
    const int64_t size = m_.file().size();
    if (size < needed)
      problem("the file has " + std::to_string(size) + " bytes; its " +
              std::to_string(m_.header().totalPageCount) + " pages need " + std::to_string(needed));
  }

  void readPageHeaders() {
    report_.pages.resize(size_t(total_));
    uint8_t header[kPageHeaderSize];
    for (int64_t n = 0; n < total_; ++n) {
      TVZPageReport& page = report_.pages[size_t(n)];
      page.pageNo = int32_t(n);
      try {
        m_.readInPage(int32_t(n), 0, header, int32_t(kPageHeaderSize));
      } catch (const platform::EVZException&) {
        continue;  // past the end of a short file, reported above
      }
      page.hasMagic = std::string_view(reinterpret_cast<const char*>(header), 4) == kPageMagic;
      page.type = platform::loadU16(header + page_header::kPageType);
      page.nextPageNo = platform::loadI32(header + page_header::kNextPageNo);
      page.ownerTableID = platform::loadI32(header + page_header::kOwnerTableID);
      page.freedMark = platform::loadI32(header + page_header::kPageVersion) == kFreedPageVersion;
    }
  }

  void readMaps() {
    for (int64_t q = 0; g_.pfsPageNo(q) < total_; ++q) readMap(pfs_, q, g_.pfsPageNo(q));
    for (int64_t k = 0; g_.eamPageNo(k) < total_; ++k) readMap(eam_, k, g_.eamPageNo(k));
  }

  void readMap(std::map<int64_t, std::vector<uint8_t>>& maps, int64_t index, int64_t pageNo) {
    std::vector<uint8_t> data(dataSize_);
    try {
      m_.readInPage(int32_t(pageNo), int32_t(kPageHeaderSize), data.data(), int32_t(data.size()));
      maps.emplace(index, std::move(data));
    } catch (const platform::EVZException&) {
      problem(pageText(pageNo) + ": the map page cannot be read");
    }
  }

  void checkPages() {
    for (TVZPageReport& page : report_.pages) {
      page.used = used(page.pageNo);
      const bool pfs = g_.isPFSPage(page.pageNo);
      const bool eam = g_.isEAMPage(page.pageNo);
      if (pfs || eam) {
        const uint16_t want = uint16_t(pfs ? TVZPageType::PFS : TVZPageType::EAM);
        page.owner = pfs ? "free-space map (pages)" : "free-space map (extents)";
        if (!page.hasMagic || page.type != want)
          problem(pageText(page.pageNo) + " should be a " + kindText(want) + " but is " +
                  (page.hasMagic ? kindText(page.type) : std::string("no page")));
        if (!page.used) problem(pageText(page.pageNo) + ": the map page is not marked used");
      } else if (page.used && (!page.hasMagic || page.type <= uint16_t(TVZPageType::PFS) ||
                               page.type > kHighestPageType)) {
        problem(pageText(page.pageNo) + " is marked used but holds " +
                (page.hasMagic ? "a page of kind " + kindText(page.type) : std::string("no page")));
      }
    }
  }

  void checkMapsPastEnd() {
    for (const auto& [q, data] : pfs_) {
      for (int64_t bit = total_ - g_.pfsPageNo(q); bit < g_.pagesPerPFS(); ++bit) {
        if (bit >= 0 && ((data[size_t(bit / 8)] >> (bit % 8)) & 1)) {
          problem(pageText(g_.pfsPageNo(q) + bit) + " lies past the end of the file but is marked used");
          break;
        }
      }
    }
  }

  void checkExtents() {
    for (const auto& [k, data] : eam_) {
      for (int64_t i = 0; i < g_.extentsPerEAM(); ++i) {
        const int64_t extent = k * g_.extentsPerEAM() + i;
        const int64_t first = extent * g_.extentPages();
        int64_t usedPages = 0;
        for (int64_t n = first; n < first + g_.extentPages() && n < total_; ++n) usedPages += used(n) ? 1 : 0;
        const uint8_t expected = usedPages == 0                    ? kExtentFree
                                 : usedPages == g_.extentPages() ? kExtentFull
                                                                 : kExtentPartlyUsed;
        const uint8_t stored = uint8_t((data[size_t(i / 4)] >> (2 * (i % 4))) & 3);
        if (stored != expected)
          problem("extent " + std::to_string(extent) + " (pages " + std::to_string(first) + " to " +
                  std::to_string(first + g_.extentPages() - 1) + ") is " + std::to_string(stored) +
                  " in the EAM map but its pages make it " + std::to_string(expected));
      }
    }
  }

  void checkLastUsed() {
    int64_t highest = -1;
    for (int64_t n = total_ - 1; n >= 0 && highest < 0; --n) {
      if (used(n) && !g_.isMapPage(n)) highest = n;
    }
    if (highest != m_.header().lastUsedPageNo)
      problem("LastUsedPageNo is " + std::to_string(m_.header().lastUsedPageNo) +
              " but the highest used page is " + std::to_string(highest));
  }

  void checkChecksums() {
    for (const TVZPageReport& page : report_.pages) {
      if (!page.used || !page.hasMagic || g_.isMapPage(page.pageNo) || !encryptedKind(page.type)) continue;
      TVZPage buffer(m_.pageSize());
      buffer.pageNo = page.pageNo;
      try {
        if (!m_.readPage(buffer)) problem(pageText(page.pageNo) + " cannot be read");
      } catch (const platform::EVZException&) {
        problem(pageText(page.pageNo) + ": its data does not match its checksum");
      }
    }
  }

  // Follows one internal file's chain by the page headers.
  void claimChain(int32_t start, TVZPageType kind, const std::string& label) {
    std::set<int32_t> seen;
    for (int32_t n = start; n != -1;) {
      if (!inFile(n)) {
        problem(label + ": its chain reaches " + pageText(n) + ", outside the file");
        return;
      }
      if (!seen.insert(n).second) {
        problem(label + ": its chain runs in a circle at " + pageText(n));
        return;
      }
      TVZPageReport& page = report_.pages[size_t(n)];
      if (!page.owner.empty()) problem(pageText(n) + " belongs to " + page.owner + " and to " + label);
      page.owner = label;
      if (!page.used) problem(pageText(n) + " of " + label + " is marked free");
      if (!page.hasMagic || page.type != uint16_t(kind)) {
        problem(pageText(n) + " of " + label + " should be a " + kindText(uint16_t(kind)) + " but is " +
                (page.hasMagic ? kindText(page.type) : std::string("no page")));
        return;
      }
      n = page.nextPageNo;
    }
  }

  template <class Read>
  void readContents(const std::string& label, Read&& read) {
    try {
      read();
    } catch (const platform::Exception& e) {
      problem(label + " cannot be read: " + e.message());
    }
  }

  void checkCatalogue() {
    TVZCatalogue& c = *catalogue_;
    claimChain(kSystemDirectoryPageNo, TVZPageType::FileSystemDirectory, "the system directory");
    claimChain(c.sessions.startPageNo(), TVZPageType::ActiveSessionList, "the sessions file");
    claimChain(c.tables.file().startPageNo(), TVZPageType::TableList, "the table list");
    std::map<int32_t, std::string> tableNames;
    for (const TVZTableListEntry& entry : c.tables.entries()) {
      const std::string name = "table \"" + platform::ansiToUtf8(entry.name) + "\"";
      tableNames[entry.tableID] = name;
      claimChain(entry.metadataStart, TVZPageType::TableMetaData, name + " metadata");
      claimChain(entry.mostUpdatedStart, TVZPageType::TableMostUpdated, name + " counters");
      claimChain(entry.locksStart, TVZPageType::TableLocks, name + " locks");
      for (auto [start, kind, what] : {std::tuple{entry.metadataStart, TVZPageType::TableMetaData, " metadata"},
                                       std::tuple{entry.mostUpdatedStart, TVZPageType::TableMostUpdated, " counters"}}) {
        readContents(name + what, [&, start = start, kind = kind] {
          TVZInternalDBTransactedAccessFile file(m_, kind);
          file.open(start);
          file.read(kSystemSessionID);
        });
      }
    }
    for (TVZPageReport& page : report_.pages) {
      if (!page.used || !page.hasMagic) continue;
      if (page.type == uint16_t(TVZPageType::TableRecord)) {
        auto it = tableNames.find(page.ownerTableID);
        if (it == tableNames.end()) {
          problem(pageText(page.pageNo) + " holds records of table " + std::to_string(page.ownerTableID) +
                  ", which the table list does not know");
        } else {
          page.owner = it->second + " records";
        }
      } else if (page.owner.empty() && page.type >= uint16_t(TVZPageType::FileSystemDirectory) &&
                 page.type <= uint16_t(TVZPageType::TableMostUpdated)) {
        problem(pageText(page.pageNo) + " (" + std::string(pageTypeName(page.type)) +
                ") belongs to no catalogue file");
      }
    }
  }

  TVZDiskPageManager& m_;
  TVZCatalogue* catalogue_;
  const TVZFreeSpaceGeometry& g_;
  int64_t total_;
  size_t dataSize_;
  std::map<int64_t, std::vector<uint8_t>> pfs_;
  std::map<int64_t, std::vector<uint8_t>> eam_;
  TVZFileReport report_;
};

}  // namespace

TVZFileReport checkDatabaseFile(TVZDiskPageManager& manager, TVZCatalogue* catalogue) {
  return Checker(manager, catalogue).run();
}

}  // namespace vz
