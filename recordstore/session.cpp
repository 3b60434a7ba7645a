#include "recordstore/session.h"

#include <algorithm>

#include "platform/locale.h"
#include "recordstore/database.h"

namespace rec {

TRecSession::TRecSession(std::string sessionName) : sessionName_(std::move(sessionName)) {}

TRecSession::~TRecSession() {
  while (!temporaries_.empty()) temporaries_.pop_back();
}

void TRecSession::setLockRetryCount(int count) {
  lockRetryCount_ = count;
  for (TRecDatabase* database : databases_) database->applyLockSettings();
}

void TRecSession::setLockWaitTime(int milliseconds) {
  lockWaitTime_ = milliseconds;
  for (TRecDatabase* database : databases_) database->applyLockSettings();
}

void TRecSession::addPassword(std::string_view password) {
  if (std::find(passwords_.begin(), passwords_.end(), password) == passwords_.end())
    passwords_.emplace_back(password);
}

void TRecSession::removePassword(std::string_view password) {
  passwords_.erase(std::remove(passwords_.begin(), passwords_.end(), password), passwords_.end());
}

TRecDatabase* TRecSession::findDatabase(std::string_view databaseName) const {
  for (TRecDatabase* database : databases_)
    if (platform::sameTextAnsi(database->databaseName(), databaseName)) return database;
  return nullptr;
}

TRecDatabase& TRecSession::databaseFor(std::string_view databaseName) {
  if (TRecDatabase* found = findDatabase(databaseName)) return *found;
  auto database = std::make_unique<TRecDatabase>(*this);
  database->databaseName_ = databaseName;
  database->temporary_ = true;
  temporaries_.push_back(std::move(database));
  return *temporaries_.back();
}

TRecDatabase& TRecSession::openDatabase(std::string_view databaseName) {
  TRecDatabase& database = databaseFor(databaseName);
  ++database.useCount_;
  try {
    database.open();
  } catch (...) {
    closeDatabase(database);
    throw;
  }
  return database;
}

void TRecSession::closeDatabase(TRecDatabase& database) {
  if (database.useCount_ > 0) --database.useCount_;
  if (database.useCount_ > 0) return;
  if (database.temporary_) {
    if (!keepConnections_) dropIfUnused(database);
  } else if (!database.keepConnection_ && !database.closing_) {
    database.close();
  }
}

void TRecSession::dropIfUnused(TRecDatabase& database) {
  if (!database.temporary_ || database.useCount_ > 0 || !database.datasets_.empty() || database.closing_) return;
  auto owned = std::find_if(temporaries_.begin(), temporaries_.end(),
                            [&](const std::unique_ptr<TRecDatabase>& d) { return d.get() == &database; });
  if (owned == temporaries_.end()) return;
  std::unique_ptr<TRecDatabase> gone = std::move(*owned);
  temporaries_.erase(owned);
}

void TRecSession::registerDatabase(TRecDatabase* database) { databases_.push_back(database); }

void TRecSession::unregisterDatabase(TRecDatabase* database) {
  databases_.erase(std::remove(databases_.begin(), databases_.end(), database), databases_.end());
}

TRecSession& defaultSession() {
  static TRecSession session("Default");
  return session;
}

}  // namespace rec
