#include "dbengine/storage/catalogue.h"

#include "dbengine/storage/database_file_errors.h"
#include "dbengine/storage/page_manager.h"

namespace vz {

TVZCatalogue::TVZCatalogue(TVZDiskPageManager& pages) : directory(pages), sessions(pages), tables(pages) {}

void TVZCatalogue::create(TVZDiskPageManager& pages, int32_t maxConnections) {
  TVZCatalogue catalogue(pages);
  try {
    const int32_t directoryStart = catalogue.directory.create(kSystemSessionID);
    if (directoryStart != kSystemDirectoryPageNo)
      raise(msg::kSystemDirectoryPage, {kSystemDirectoryPageNo, directoryStart});
    const int32_t sessionsStart = catalogue.sessions.create(maxConnections);
    const int32_t tablesStart = catalogue.tables.create(kSystemSessionID);
    catalogue.tables.save(kSystemSessionID);
    catalogue.directory.addEntry(kDirectorySessions, sessionsStart);
    catalogue.directory.addEntry(kDirectoryTableList, tablesStart);
    catalogue.directory.save(kSystemSessionID);
    pages.commit(kSystemSessionID);
  } catch (...) {
    pages.rollback(kSystemSessionID);
    throw;
  }
}

void TVZCatalogue::open() {
  directory.open(kSystemDirectoryPageNo);
  directory.load(kSystemSessionID);
  const int32_t sessionsStart = directory.find(kDirectorySessions);
  const int32_t tablesStart = directory.find(kDirectoryTableList);
  if (sessionsStart < 0 || tablesStart < 0) raise(msg::kInvalidDatabaseFormat);
  sessions.open(sessionsStart);
  tables.open(tablesStart);
  tables.load(kSystemSessionID);
}

}  // namespace vz
