// A look over a whole open database file: the kind, chain link and owner of
// every page, and everything that does not fit together — the PFS and EAM
// maps against the pages, the header's page counts, the catalogue's chains
// and, in an encrypted file, each page's data checksum. It reads only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vz {

class TVZDiskPageManager;
class TVZCatalogue;

struct TVZPageReport {
  int32_t pageNo = 0;
  bool used = false;         // its PFS bit
  bool hasMagic = false;     // "VAZA" at its start
  bool freedMark = false;    // carries the freed page's write stamp
  uint16_t type = 0;
  int32_t nextPageNo = -1;
  int32_t ownerTableID = -1;
  std::string owner;         // what holds it, as far as the catalogue tells ("" when unknown)
};

struct TVZFileReport {
  std::vector<TVZPageReport> pages;
  std::vector<std::string> problems;  // empty when everything fits
};

// `catalogue` may be null (it could not be loaded); the chains are then not
// followed.
TVZFileReport checkDatabaseFile(TVZDiskPageManager& manager, TVZCatalogue* catalogue);

}  // namespace vz
