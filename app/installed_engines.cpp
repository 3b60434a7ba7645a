#include "app/installed_engines.h"

#include "app/archive_adapter.h"
#include "app/store_table_adapter.h"
#include "app/unavailable_engines.h"

namespace app {

EngineFactory installedEngines() {
  EngineFactory f;
  // Product record store.
  f.storeTable = [] { return makeStoreTable(); };
  // Database engine: not built into the program yet.
  f.connection = [](const ConnectionSettings&) { return unavailableConnection(); };
  f.table = [](const TableSettings&) { return unavailableTable(); };
  f.query = [](const QuerySettings&) { return unavailableQuery(); };
  // Package archive.
  f.archive = [] { return makeArchive(); };
  return f;
}

}  // namespace app
