#include "dbengine/storage/database_file_format.h"

namespace vz {

std::string_view pageTypeName(uint16_t pageType) {
  static constexpr std::string_view kNames[] = {
      "Unknown Page",          "Empty Page",       "EAM Page",         "PFS Page",
      "FileSystemDirectory Page", "ActiveSessionList Page", "TableList Page", "TableLocks Page",
      "TableMetaData Page",    "TableMostUpdated Page", "TableRecord Page", "TableBlob Page",
      "TableIndex Page",
  };
  static_assert(std::size(kNames) == kHighestPageType + 1);
  return pageType <= kHighestPageType ? kNames[pageType] : kNames[0];
}

}  // namespace vz
