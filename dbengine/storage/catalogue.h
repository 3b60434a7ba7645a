// The catalogue of a database file: the system directory, the sessions
// file and the table list, made together when a file is created and loaded
// together when it is opened.
#pragma once

#include <cstdint>

#include "dbengine/storage/active_sessions_file.h"
#include "dbengine/storage/system_directory.h"
#include "dbengine/storage/table_list_file.h"

namespace vz {

class TVZDiskPageManager;

class TVZCatalogue {
 public:
  explicit TVZCatalogue(TVZDiskPageManager& pages);

  // Makes the catalogue of a new file in the system session and commits it:
  // the system directory (which must be page 2), a sessions file of
  // `maxConnections` slots, an empty table list, and the directory entries
  // of the sessions file and the table list, in that order.
  static void create(TVZDiskPageManager& pages, int32_t maxConnections);

  // Loads the directory from page 2, opens the sessions file and loads the
  // table list it names. "Invalid database format" when an entry is missing.
  void open();

  TVZSystemDirectory directory;
  TVZActiveSessionsFile sessions;
  TVZTableListFile tables;
};

}  // namespace vz
