#include "recordstore/database.h"

#include <algorithm>

#include "platform/errors.h"
#include "recordstore/login.h"
#include "recordstore/messages.h"
#include "recordstore/session.h"
#include "recordstore/table.h"

namespace rec {

using platform::EDatabaseError;

TRecDatabase::TRecDatabase(TRecSession& session) : session_(session) { session_.registerDatabase(this); }

TRecDatabase::~TRecDatabase() {
  close();
  session_.unregisterDatabase(this);
}

void TRecDatabase::checkDisconnected() const {
  if (connected()) throw EDatabaseError(msg::kOpenDatabase);
}

void TRecDatabase::setDatabaseName(std::string_view name) {
  checkDisconnected();
  databaseName_ = name;
}

void TRecDatabase::setFileName(std::string_view name) {
  checkDisconnected();
  fileName_ = name;
}

void TRecDatabase::setExclusive(bool exclusive) {
  checkDisconnected();
  exclusive_ = exclusive;
}

void TRecDatabase::setReadOnly(bool readOnly) {
  checkDisconnected();
  readOnly_ = readOnly;
}

void TRecDatabase::applyLockSettings() { file_.setLockSettings(session_.lockRetryCount(), session_.lockWaitTime()); }

void TRecDatabase::open() {
  if (connected()) return;
  file_.open(path(), 0, readOnly_, exclusive_);
  applyLockSettings();
  // A file that is not encrypted is open to everybody.
  accessGranted_ = !file_.algorithms().encrypt;
  if (passwordGiven_) tryPassword(password_);
}

void TRecDatabase::close() {
  // Each dataset's close ends its use of this database.
  closing_ = true;
  std::vector<TRecTable*> datasets = datasets_;
  for (TRecTable* dataset : datasets) dataset->close();
  closing_ = false;
  tables_.clear();
  file_.close();
  accessGranted_ = false;
}

bool TRecDatabase::tryPassword(std::string_view password) {
  accessGranted_ = file_.checkPassword(password);
  return accessGranted_;
}

void TRecDatabase::setPassword(std::string_view password) {
  password_ = password;
  passwordGiven_ = true;
  if (connected()) tryPassword(password_);
}

void TRecDatabase::requireAccess() {
  if (accessGranted_) return;
  for (const std::string& password : session_.passwords())
    if (tryPassword(password)) return;
  if (passwordGiven_) {
    if (tryPassword(password_)) return;
  } else if (TRecLoginHandler* handler = loginHandler()) {
    std::optional<std::string> entered = handler->askPassword(databaseName_);
    if (!entered) throw ELoginCancelled();
    setPassword(*entered);
    if (accessGranted_) return;
  }
  throw EDatabaseError(msg::kAccessDenied);
}

TRecTableIO& TRecDatabase::table(int number) {
  if (number < 0 || number >= file_.tableCount()) throw EDatabaseError(msg::kGeneralError);
  if (tables_.size() < size_t(file_.tableCount())) tables_.resize(size_t(file_.tableCount()));
  std::unique_ptr<TRecTableIO>& io = tables_[size_t(number)];
  if (!io) io = std::make_unique<TRecTableIO>(file_, number);
  return *io;
}

void TRecDatabase::attach(TRecTable* dataset) {
  if (std::find(datasets_.begin(), datasets_.end(), dataset) == datasets_.end()) datasets_.push_back(dataset);
}

void TRecDatabase::detach(TRecTable* dataset) {
  datasets_.erase(std::remove(datasets_.begin(), datasets_.end(), dataset), datasets_.end());
}

}  // namespace rec
