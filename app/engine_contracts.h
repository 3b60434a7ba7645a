// What the installer asks of its three engines: the product record store's
// table, the database engine's connection, table and query, and the package
// archive. The update procedure and Verify see the engines only through
// these interfaces. Every operation reports failure by raising the engine's
// exception; none returns an error code.
//
// Values cross as dataset::Variant: the installer passes texts and 32-bit
// integers and reads texts, floating-point numbers and currency amounts.
// Texts are Windows-1252; file paths are UTF-8 in the system's form (a
// folder text followed by "\relative\path").
#pragma once

#include <cstdint>
#include <string>

#include "dataset/variant.h"

namespace app {

// The product record store's table (the store's TRecTable).
class RecordStoreTable {
 public:
  virtual ~RecordStoreTable() = default;

  // Also clears the table name; refused while open.
  virtual void setDatabaseName(const std::string& path) = 0;
  // Opens the file at once: a missing or foreign file raises here; a wrong
  // password raises only at open.
  virtual void setPassword(const std::string& password) = 0;
  // Compared without regard to case.
  virtual void setTableName(const std::string& name) = 0;
  // Raises "Access denied" for a wrong password and "Table '%s' not found".
  virtual void open() = 0;
  // Forgets the password: every later use sets it again.
  virtual void close() = 0;
  // The current (first) row's value; null when the table is empty.
  virtual dataset::Variant fieldValue(const std::string& field) = 0;
  // Edit state on the current row; insert state on an empty table.
  virtual void edit() = 0;
  // Converted to the field's type; a text is cut to the field's size.
  virtual void setFieldValue(const std::string& field, const dataset::Variant& value) = 0;
  // Rewrites the row, or appends it in insert state.
  virtual void post() = 0;
};

// A connection of the database engine (TVZDatabase).
class DatabaseConnection {
 public:
  virtual ~DatabaseConnection() = default;

  // A connected connection is disconnected first.
  virtual void setDatabaseFileName(const std::string& path) = 0;
  // True opens the file with the connection's password, multi-user and
  // exclusive settings; false closes every table and query bound to the
  // connection, then the file.
  virtual void setConnected(bool connected) = 0;
  // Only on a closed connection: rebuilds the file with the new settings and
  // puts it in place of the old one. `log` is cleared at the start and may
  // receive a report.
  virtual bool changeDatabaseSettings(std::string& log, bool repair, const std::string& newPassword,
                                      int cipherId, int pageSize, int extentPageCount,
                                      int maxConnections) = 0;
  // The connection's current cipher.
  virtual int cipherId() = 0;
};

// States of a database table as the installer tests them.
enum class TableState { Inactive, Browse, Edit, Insert };

// A table of the database engine (TVZTable), bound to a connection by name:
// it acts on whichever file its connection has open when it opens.
class DatabaseTable {
 public:
  virtual ~DatabaseTable() = default;

  virtual void open() = 0;
  virtual bool isOpen() = 0;
  // Makes rows changed by SQL statements visible.
  virtual void refresh() = 0;
  virtual void close() = 0;
  // Moving off an edited row posts it.
  virtual void first() = 0;
  virtual void next() = 0;
  // Insert state on an empty table.
  virtual void edit() = 0;
  virtual void post() = 0;
  virtual TableState state() = 0;
  // Number of visible rows; position of the current row counted from 1.
  virtual int32_t recordCount() = 0;
  virtual int32_t recordNumber() = 0;
  // Converted to the column's type.
  virtual void setFieldValue(const std::string& field, const dataset::Variant& value) = 0;
  // Null for a null column.
  virtual dataset::Variant fieldValue(const std::string& field) = 0;
};

// A query of the database engine (TVZQuery), bound to a connection by name.
class DatabaseQuery {
 public:
  virtual ~DatabaseQuery() = default;

  // Runs the whole text as a script, statement by statement; the first
  // failing statement raises and ends the run.
  virtual void execSql() = 0;
  // Every parameter of that name in the text takes the value.
  virtual void setParamValue(const std::string& name, const dataset::Variant& value) = 0;
  // Runs the text with the current parameter values and presents the last
  // statement's rows; closing and opening again runs it again.
  virtual void open() = 0;
  virtual void close() = 0;
  // From the current result row.
  virtual dataset::Variant fieldValue(const std::string& field) = 0;
};

// The package archive (TZipArchiver).
class PackageArchive {
 public:
  virtual ~PackageArchive() = default;

  virtual void setFileName(const std::string& path) = 0;
  virtual void setPassword(const std::string& password) = 0;
  // Ends with a backslash.
  virtual void setBaseDir(const std::string& path) = 0;
  // Opens the existing archive named by the file name.
  virtual void openArchive() = 0;
  // With "*.*", 10431 and an empty exclusion mask: every entry is written
  // under the base folder, folders created, existing files replaced.
  virtual void extractFiles(const std::string& fileMask, uint32_t attributeMask,
                            const std::string& exclusionMask) = 0;
  // Releases the archive file.
  virtual void closeArchive() = 0;
};

}  // namespace app
