// In-memory engines behind the installer's contracts, faithful to what the
// contracts promise: a store table whose edit on an empty table inserts and
// whose close forgets the password; connections that open only existing
// files and close their tables and queries when they disconnect; tables
// whose moves post an edited row; queries that run on the file their
// connection has open. Every operation is written to one log, in order, with
// the file it acted on, and a chosen operation can be made to fail.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/components.h"
#include "app/engine_contracts.h"

namespace app_test {

// Names compare without regard to ASCII case.
struct NameLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

using Row = std::map<std::string, dataset::Variant, NameLess>;

struct FakeTableData {
  std::vector<std::string> columns;
  std::map<std::string, size_t, NameLess> textSizes;  // text columns cut to these sizes
  std::vector<Row> rows;
};

struct FakeDatabase {
  std::map<std::string, FakeTableData, NameLess> tables;
  int cipherId = 0;
  int pageSize = 4096;
  int extentPageCount = 8;
  int maxConnections = 500;
  // Result rows of the totals queries by document identifier; a missing
  // identifier gives no row.
  std::map<std::string, std::map<int32_t, Row>, NameLess> queryResults;
};

struct FakeStoreFile {
  std::string password = "sertu";
  FakeTableData config;
};

class FakeTable;
class FakeQuery;

struct FakeWorld {
  // Files by the path the installer gives.
  std::map<std::string, FakeDatabase> databases;
  std::map<std::string, FakeStoreFile> stores;
  // Which file each connection alias has open ("" when none).
  std::map<std::string, std::string> connected;
  std::vector<std::string> log;
  // An operation (a log entry) that raises instead of completing.
  std::string failOn;
  std::string failMessage = "Error altering table: 'Clients'";

  std::multimap<std::string, FakeTable*> tablesByAlias;
  std::multimap<std::string, FakeQuery*> queriesByAlias;

  // Logs `entry`; raises EVZException when it is the failing operation.
  void record(const std::string& entry);
  FakeDatabase& databaseOf(const std::string& alias);

  // Factory slots creating fakes in this world.
  app::EngineFactory factory();
  // Settings the factory was asked for, by object name or alias.
  std::vector<app::ConnectionSettings> connectionSettings;
  std::vector<app::TableSettings> tableSettings;
  std::vector<app::QuerySettings> querySettings;
};

class FakeStoreTable final : public app::RecordStoreTable {
 public:
  explicit FakeStoreTable(FakeWorld& world) : world_(world) {}
  void setDatabaseName(const std::string& path) override;
  void setPassword(const std::string& password) override;
  void setTableName(const std::string& name) override;
  void open() override;
  void close() override;
  dataset::Variant fieldValue(const std::string& field) override;
  void edit() override;
  void setFieldValue(const std::string& field, const dataset::Variant& value) override;
  void post() override;

  bool isOpen() const { return open_; }

 private:
  FakeTableData& data();
  FakeWorld& world_;
  std::string path_, password_, table_;
  bool open_ = false;
  app::TableState state_ = app::TableState::Inactive;
  Row buffer_;
};

class FakeConnection final : public app::DatabaseConnection {
 public:
  FakeConnection(FakeWorld& world, std::string alias) : world_(world), alias_(std::move(alias)) {}
  void setDatabaseFileName(const std::string& path) override;
  void setConnected(bool connected) override;
  bool changeDatabaseSettings(std::string& log, bool repair, const std::string& newPassword, int cipherId,
                              int pageSize, int extentPageCount, int maxConnections) override;
  int cipherId() override;

 private:
  FakeWorld& world_;
  std::string alias_;
  std::string path_;
};

class FakeTable final : public app::DatabaseTable {
 public:
  FakeTable(FakeWorld& world, std::string alias, std::string name);
  ~FakeTable() override;
  void open() override;
  bool isOpen() override { return open_; }
  void refresh() override;
  void close() override;
  void first() override;
  void next() override;
  void edit() override;
  void post() override;
  app::TableState state() override { return state_; }
  int32_t recordCount() override;
  int32_t recordNumber() override;
  void setFieldValue(const std::string& field, const dataset::Variant& value) override;
  dataset::Variant fieldValue(const std::string& field) override;

 private:
  FakeTableData& data();
  void requireOpen();
  FakeWorld& world_;
  std::string alias_, name_, file_;
  bool open_ = false;
  app::TableState state_ = app::TableState::Inactive;
  size_t position_ = 0;
  Row buffer_;
};

class FakeQuery final : public app::DatabaseQuery {
 public:
  FakeQuery(FakeWorld& world, std::string alias, std::string name);
  ~FakeQuery() override;
  void execSql() override;
  void setParamValue(const std::string& name, const dataset::Variant& value) override;
  void open() override;
  void close() override;
  dataset::Variant fieldValue(const std::string& field) override;

 private:
  FakeWorld& world_;
  std::string alias_, name_;
  std::map<std::string, dataset::Variant, NameLess> params_;
  bool open_ = false;
  bool hasRow_ = false;
  Row row_;
};

class FakeArchive final : public app::PackageArchive {
 public:
  explicit FakeArchive(FakeWorld& world) : world_(world) {}
  void setFileName(const std::string& path) override;
  void setPassword(const std::string& password) override;
  void setBaseDir(const std::string& path) override;
  void openArchive() override;
  void extractFiles(const std::string& fileMask, uint32_t attributeMask, const std::string& exclusionMask) override;
  void closeArchive() override;

 private:
  FakeWorld& world_;
  std::string fileName_, password_, baseDir_;
  bool open_ = false;
};

// A Config table of the yearly and work databases with its one row.
FakeTableData configTable(bool withRow = true);

}  // namespace app_test
