#include "app/unavailable_engines.h"

namespace app {

EngineUnavailable::EngineUnavailable(const std::string& engine)
    : platform::Exception("The " + engine + " is not part of this build of the program") {}

namespace {

constexpr const char* kStore = "product record store engine";
constexpr const char* kDatabase = "database engine";
constexpr const char* kArchive = "package archive engine";

[[noreturn]] void unavailable(const char* engine) { throw EngineUnavailable(engine); }

class StoreTable final : public RecordStoreTable {
 public:
  void setDatabaseName(const std::string&) override { unavailable(kStore); }
  void setPassword(const std::string&) override { unavailable(kStore); }
  void setTableName(const std::string&) override { unavailable(kStore); }
  void open() override { unavailable(kStore); }
  void close() override { unavailable(kStore); }
  dataset::Variant fieldValue(const std::string&) override { unavailable(kStore); }
  void edit() override { unavailable(kStore); }
  void setFieldValue(const std::string&, const dataset::Variant&) override { unavailable(kStore); }
  void post() override { unavailable(kStore); }
};

class Connection final : public DatabaseConnection {
 public:
  void setDatabaseFileName(const std::string&) override { unavailable(kDatabase); }
  void setConnected(bool) override { unavailable(kDatabase); }
  bool changeDatabaseSettings(std::string&, bool, const std::string&, int, int, int, int) override {
    unavailable(kDatabase);
  }
  int cipherId() override { unavailable(kDatabase); }
};

class Table final : public DatabaseTable {
 public:
  void open() override { unavailable(kDatabase); }
  bool isOpen() override { unavailable(kDatabase); }
  void refresh() override { unavailable(kDatabase); }
  void close() override { unavailable(kDatabase); }
  void first() override { unavailable(kDatabase); }
  void next() override { unavailable(kDatabase); }
  void edit() override { unavailable(kDatabase); }
  void post() override { unavailable(kDatabase); }
  TableState state() override { unavailable(kDatabase); }
  int32_t recordCount() override { unavailable(kDatabase); }
  int32_t recordNumber() override { unavailable(kDatabase); }
  void setFieldValue(const std::string&, const dataset::Variant&) override { unavailable(kDatabase); }
  dataset::Variant fieldValue(const std::string&) override { unavailable(kDatabase); }
};

class Query final : public DatabaseQuery {
 public:
  void execSql() override { unavailable(kDatabase); }
  void setParamValue(const std::string&, const dataset::Variant&) override { unavailable(kDatabase); }
  void open() override { unavailable(kDatabase); }
  void close() override { unavailable(kDatabase); }
  dataset::Variant fieldValue(const std::string&) override { unavailable(kDatabase); }
};

class Archive final : public PackageArchive {
 public:
  void setFileName(const std::string&) override { unavailable(kArchive); }
  void setPassword(const std::string&) override { unavailable(kArchive); }
  void setBaseDir(const std::string&) override { unavailable(kArchive); }
  void openArchive() override { unavailable(kArchive); }
  void extractFiles(const std::string&, uint32_t, const std::string&) override { unavailable(kArchive); }
  void closeArchive() override { unavailable(kArchive); }
};

}  // namespace

std::unique_ptr<RecordStoreTable> unavailableStoreTable() { return std::make_unique<StoreTable>(); }
std::unique_ptr<DatabaseConnection> unavailableConnection() { return std::make_unique<Connection>(); }
std::unique_ptr<DatabaseTable> unavailableTable() { return std::make_unique<Table>(); }
std::unique_ptr<DatabaseQuery> unavailableQuery() { return std::make_unique<Query>(); }
std::unique_ptr<PackageArchive> unavailableArchive() { return std::make_unique<Archive>(); }

}  // namespace app
