#include "app/components.h"

#include "app/migration_texts.h"

namespace app {

ConnectionSettings exdbSettings() {
  ConnectionSettings s;
  s.databaseName = "EXDB";
  s.password = "tirelvash";
  return s;
}

ConnectionSettings ssnSettings() {
  ConnectionSettings s;
  s.databaseName = "SSN";
  s.password = "quont";
  return s;
}

namespace {

TableSettings exdbTable(const char* tableName) {
  TableSettings s;
  s.databaseName = "EXDB";
  s.tableName = tableName;
  return s;
}

QuerySettings script(const char* name, const char* databaseName, const std::string& sql) {
  QuerySettings s;
  s.name = name;
  s.databaseName = databaseName;
  s.sql = sql;
  return s;
}

QuerySettings totalsQuery(const char* name, const std::string& sql) {
  QuerySettings s = script(name, "EXDB", sql);
  s.readOnly = true;
  s.requestLive = true;
  s.caseInsensitiveFilter = true;
  return s;
}

}  // namespace

Components Components::create(const EngineFactory& f) {
  Components c;
  c.DB = f.storeTable();
  c.Archiver = f.archive();
  c.EXDB_Name = f.connection(exdbSettings());
  c.SSN_Name = f.connection(ssnSettings());
  c.DBCTable = f.table(exdbTable("Config"));
  c.Table_Ventes = f.table(exdbTable("Ventes"));
  c.Table_Achats = f.table(exdbTable("Achats"));
  c.Query_SSN_37 = f.query(script("Query_SSN_37", "SSN", ssn37Script()));
  c.Query_SSN_38 = f.query(script("Query_SSN_38", "SSN", ssn38Script()));
  c.Query_Action_38 = f.query(script("Query_Action_38", "EXDB", action38Script()));
  c.Query_Action_39 = f.query(script("Query_Action_39", "EXDB", action39Script()));
  c.Query_Calc_38V = f.query(totalsQuery("Query_Calc_38V", salesTotalsQuery()));
  c.Query_Calc_38A = f.query(totalsQuery("Query_Calc_38A", purchaseTotalsQuery()));
  return c;
}

}  // namespace app
