// A table of a store file as a dataset: bound to a database by name (a
// store file's path, for which it makes a temporary database object of its
// session when there is none), presented in the order of an index or of
// record numbers, read and written through the dataset layer's fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/dataset.h"
#include "recordstore/database.h"
#include "recordstore/session.h"
#include "recordstore/table_io.h"

namespace rec {

class TRecTable : public dataset::DataSet {
 public:
  explicit TRecTable(TRecSession& session = defaultSession());
  ~TRecTable() override;

  TRecSession& session() const { return session_; }

  // Setting it also clears TableName and IndexName. Refused while open
  // ("Cannot perform this operation on an open dataset").
  const std::string& databaseName() const { return databaseName_; }
  void setDatabaseName(std::string_view name);
  // Compared without regard to case when the table opens. Refused while open.
  const std::string& tableName() const { return tableName_; }
  void setTableName(std::string_view name);
  // The index whose order the rows take; empty: the primary index when the
  // table has one, else record-number order. Changing it while open
  // reorders the rows.
  const std::string& indexName() const { return indexName_; }
  void setIndexName(std::string_view name);

  // Finds or makes the database object, connects it (raising the file's
  // errors) and gives it the password. A wrong password raises nothing here;
  // opening the table then fails with "Access denied".
  void setPassword(std::string_view password);

  // The table's indexes while it is open (empty when closed).
  std::vector<format::IndexDef> indexDefs() const;

  // The database object while the table is open, else nullptr.
  TRecDatabase* database() const { return database_; }

 protected:
  void internalOpen() override;
  void internalClose() override;
  void internalFirst() override;
  void internalLast() override;
  dataset::FetchResult fetchRecord(dataset::FetchMode mode, dataset::RecordBuffer& buffer) override;
  void internalSetToRecord(const dataset::RecordBuffer& buffer) override;
  void internalInitRecord(dataset::RecordBuffer& buffer) override;
  void internalPost(dataset::RecordBuffer& buffer, bool inserting) override;
  void internalDelete() override;
  void internalRefresh() override;
  void loadBlob(int fieldIndex, dataset::RecordBuffer& buffer) override;
  int recordCountHook() override;
  int recNoHook() override;

 private:
  void releaseDatabase();
  // The list of the chosen order.
  size_t chosenList() const;
  // Copies the table's list of the chosen order; stands on `recno` when it
  // is still there, else at `fallback` (clamped).
  void loadRows(int64_t recno, int64_t fallback);
  void readRow(size_t position, dataset::RecordBuffer& buffer);

  TRecSession& session_;
  std::string databaseName_;
  std::string tableName_;
  std::string indexName_;
  TRecDatabase* database_ = nullptr;
  TRecTableIO* io_ = nullptr;
  std::vector<RowItem> rows_;
  // -1 before the first row, rows_.size() after the last.
  int64_t position_ = -1;
};

}  // namespace rec
