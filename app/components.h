// The engine objects of the main window, created with it from their
// design-time settings and freed with it, and the factory through which the
// program's start-up chooses the engines behind them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/engine_contracts.h"

namespace app {

struct ConnectionSettings {
  std::string databaseName;  // the alias tables and queries are bound to
  std::string password;
  bool multiUser = true;
  int maxConnections = 500;
  bool exclusive = false;
  std::string sessionName = "Default";
};

struct TableSettings {
  std::string databaseName;
  std::string tableName;
  bool readOnly = false;
  bool exclusive = false;
  bool inMemory = false;
};

struct QuerySettings {
  std::string name;  // the component's name, for messages and logs
  std::string databaseName;
  std::string sessionName = "Default";
  std::string sql;
  bool readOnly = false;
  bool inMemory = false;
  bool requestLive = false;
  bool caseInsensitiveFilter = false;
};

// One slot per kind of engine object.
struct EngineFactory {
  std::function<std::unique_ptr<RecordStoreTable>()> storeTable;
  std::function<std::unique_ptr<DatabaseConnection>(const ConnectionSettings&)> connection;
  std::function<std::unique_ptr<DatabaseTable>(const TableSettings&)> table;
  std::function<std::unique_ptr<DatabaseQuery>(const QuerySettings&)> query;
  std::function<std::unique_ptr<PackageArchive>()> archive;
};

// The main window's engine objects, named as on the window.
struct Components {
  std::unique_ptr<RecordStoreTable> DB;
  std::unique_ptr<PackageArchive> Archiver;
  std::unique_ptr<DatabaseConnection> EXDB_Name;
  std::unique_ptr<DatabaseConnection> SSN_Name;
  std::unique_ptr<DatabaseTable> DBCTable;
  std::unique_ptr<DatabaseTable> Table_Ventes;
  std::unique_ptr<DatabaseTable> Table_Achats;
  std::unique_ptr<DatabaseQuery> Query_SSN_37;
  std::unique_ptr<DatabaseQuery> Query_SSN_38;
  std::unique_ptr<DatabaseQuery> Query_Action_38;
  std::unique_ptr<DatabaseQuery> Query_Action_39;
  std::unique_ptr<DatabaseQuery> Query_Calc_38V;
  std::unique_ptr<DatabaseQuery> Query_Calc_38A;

  // Creates every object, connections before the tables and queries bound
  // to them, with the settings the window stores.
  static Components create(const EngineFactory& factory);
};

// Design-time settings of the objects.
ConnectionSettings exdbSettings();
ConnectionSettings ssnSettings();

}  // namespace app
