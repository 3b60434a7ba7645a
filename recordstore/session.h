// A session of the store: the database objects in use (each with a use
// count), the passwords it tries on its own, and the lock settings of every
// file its databases open. The session "Default" exists from program start.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rec {

class TRecDatabase;

class TRecSession {
 public:
  explicit TRecSession(std::string sessionName);
  // Destroys the temporary databases; other database objects must go first.
  ~TRecSession();
  TRecSession(const TRecSession&) = delete;
  TRecSession& operator=(const TRecSession&) = delete;

  const std::string& sessionName() const { return sessionName_; }

  // Retries of the file lock before "Wait for unlock time out" (0: without
  // limit) and the pause between two tries, in milliseconds.
  int lockRetryCount() const { return lockRetryCount_; }
  int lockWaitTime() const { return lockWaitTime_; }
  void setLockRetryCount(int count);
  void setLockWaitTime(int milliseconds);

  // Temporary databases stay connected when their last dataset closes.
  bool keepConnections() const { return keepConnections_; }
  void setKeepConnections(bool keep) { keepConnections_ = keep; }

  // Passwords tried on an encrypted database before its own.
  const std::vector<std::string>& passwords() const { return passwords_; }
  void addPassword(std::string_view password);
  void removePassword(std::string_view password);
  void removeAllPasswords() { passwords_.clear(); }

  // The database object of that name (without regard to case), or nullptr.
  TRecDatabase* findDatabase(std::string_view databaseName) const;
  // The database object of that name, or a new temporary one.
  TRecDatabase& databaseFor(std::string_view databaseName);
  // A dataset's use: found or created, counted, connected. A failed
  // connection leaves nothing behind.
  TRecDatabase& openDatabase(std::string_view databaseName);
  // The end of a use: at zero, a temporary database is disconnected and
  // destroyed (unless connections are kept), another one disconnected unless
  // it keeps its connection.
  void closeDatabase(TRecDatabase& database);
  // A temporary database nobody uses any more.
  void dropIfUnused(TRecDatabase& database);

  const std::vector<TRecDatabase*>& databases() const { return databases_; }

 private:
  friend class TRecDatabase;
  void registerDatabase(TRecDatabase* database);
  void unregisterDatabase(TRecDatabase* database);

  std::string sessionName_;
  int lockRetryCount_ = 20;
  int lockWaitTime_ = 100;
  bool keepConnections_ = false;
  std::vector<std::string> passwords_;
  std::vector<TRecDatabase*> databases_;
  std::vector<std::unique_ptr<TRecDatabase>> temporaries_;
};

// The session "Default".
TRecSession& defaultSession();

}  // namespace rec
