// A store database: one store file, connected or not, the password given
// to it and whether it passed, and the table structures of the open file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "recordstore/file_io.h"
#include "recordstore/table_io.h"

namespace rec {

class TRecSession;
class TRecTable;

class TRecDatabase {
 public:
  explicit TRecDatabase(TRecSession& session);
  // Closes its datasets and the file.
  ~TRecDatabase();
  TRecDatabase(const TRecDatabase&) = delete;
  TRecDatabase& operator=(const TRecDatabase&) = delete;

  TRecSession& session() const { return session_; }

  // The name datasets find it by; the file's path unless FileName is set.
  // These settings are refused while connected.
  const std::string& databaseName() const { return databaseName_; }
  void setDatabaseName(std::string_view name);
  const std::string& fileName() const { return fileName_; }
  void setFileName(std::string_view name);
  std::string path() const { return fileName_.empty() ? databaseName_ : fileName_; }
  bool exclusive() const { return exclusive_; }
  void setExclusive(bool exclusive);
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly);
  // Stays connected when its last dataset closes.
  bool keepConnection() const { return keepConnection_; }
  void setKeepConnection(bool keep) { keepConnection_ = keep; }
  // Made by a dataset for itself; destroyed when its last use ends.
  bool temporary() const { return temporary_; }

  bool connected() const { return file_.isOpen(); }
  // Opens the file (with all the file's checks), then checks the password
  // when one was given.
  void open();
  // Closes its datasets, releases the tables and closes the file; access
  // and the cipher's key go with it.
  void close();

  // Records the password; when connected, checks it at once (a wrong one
  // raises nothing: access is just not granted).
  void setPassword(std::string_view password);
  bool passwordGiven() const { return passwordGiven_; }
  bool accessGranted() const { return accessGranted_; }
  // Access for a dataset about to open: the session's passwords, then the
  // given password, else the login question. "Access denied" when none
  // passes; ELoginCancelled when the user cancels.
  void requireAccess();

  TRecFileIO& file() { return file_; }
  // The number of the table of that name, or -1.
  int findTable(std::string_view name) { return file_.findTable(name); }
  TRecTableIO& table(int number);
  std::vector<std::string> tableNames() { return file_.tableNames(); }

  int useCount() const { return useCount_; }
  void flush() { file_.flush(); }

 private:
  friend class TRecSession;
  friend class TRecTable;
  void checkDisconnected() const;
  bool tryPassword(std::string_view password);
  void attach(TRecTable* dataset);
  void detach(TRecTable* dataset);
  void applyLockSettings();

  TRecSession& session_;
  std::string databaseName_;
  std::string fileName_;
  bool exclusive_ = false;
  bool readOnly_ = false;
  bool keepConnection_ = false;
  bool temporary_ = false;
  TRecFileIO file_;
  std::string password_;
  bool passwordGiven_ = false;
  bool accessGranted_ = false;
  std::vector<std::unique_ptr<TRecTableIO>> tables_;
  std::vector<TRecTable*> datasets_;
  int useCount_ = 0;
  // While it closes its datasets, their last use must not destroy it.
  bool closing_ = false;
};

}  // namespace rec
