#include "app/installed_engines.h"

#include "app/unavailable_engines.h"

namespace app {

EngineFactory installedEngines() {
  EngineFactory f;
  // Product record store.
  f.storeTable = [] { return unavailableStoreTable(); };
  // Database engine.
  f.connection = [](const ConnectionSettings&) { return unavailableConnection(); };
  f.table = [](const TableSettings&) { return unavailableTable(); };
  f.query = [](const QuerySettings&) { return unavailableQuery(); };
  // Package archive.
  f.archive = [] { return unavailableArchive(); };
  return f;
}

}  // namespace app
