#include "app/store_table_adapter.h"

#include "recordstore/table.h"

namespace app {
namespace {

class StoreTable final : public RecordStoreTable {
 public:
  void setDatabaseName(const std::string& path) override { table_.setDatabaseName(path); }
  void setPassword(const std::string& password) override { table_.setPassword(password); }
  void setTableName(const std::string& name) override { table_.setTableName(name); }
  void open() override { table_.open(); }
  void close() override { table_.close(); }
  dataset::Variant fieldValue(const std::string& field) override { return table_.fieldValue(field); }
  void edit() override { table_.edit(); }
  void setFieldValue(const std::string& field, const dataset::Variant& value) override {
    table_.setFieldValue(field, value);
  }
  void post() override { table_.post(); }

 private:
  rec::TRecTable table_;
};

}  // namespace

std::unique_ptr<RecordStoreTable> makeStoreTable() { return std::make_unique<StoreTable>(); }

}  // namespace app
