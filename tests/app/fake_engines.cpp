#include "fake_engines.h"

#include <algorithm>
#include <cctype>

#include "platform/errors.h"

namespace app_test {

using app::TableState;
using dataset::Variant;

bool NameLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    return std::toupper(x) < std::toupper(y);
  });
}

namespace {

[[noreturn]] void databaseError(const std::string& message) { throw platform::EDatabaseError(message); }

bool sameName(const std::string& a, const std::string& b) { return !NameLess()(a, b) && !NameLess()(b, a); }

// A value as the column stores it: texts cut to the column's size.
Variant stored(const FakeTableData& t, const std::string& field, const Variant& value) {
  const auto size = t.textSizes.find(field);
  if (size == t.textSizes.end() || value.isClear()) return value;
  return Variant(value.toString().substr(0, size->second));
}

void requireColumn(const FakeTableData& t, const std::string& field) {
  for (const std::string& c : t.columns)
    if (sameName(c, field)) return;
  databaseError("Field '" + field + "' not found");
}

// Removes an object from the registry of its connection.
template <class Object>
void forget(std::multimap<std::string, Object*>& registry, const std::string& alias, Object* object) {
  for (auto [it, end] = registry.equal_range(alias); it != end; ++it) {
    if (it->second == object) {
      registry.erase(it);
      return;
    }
  }
}

Row emptyRow(const FakeTableData& t) {
  Row row;
  for (const std::string& c : t.columns) row[c] = Variant::null();
  return row;
}

}  // namespace

void FakeWorld::record(const std::string& entry) {
  log.push_back(entry);
  if (!failOn.empty() && entry == failOn) throw platform::EVZException(30265, failMessage);
}

FakeDatabase& FakeWorld::databaseOf(const std::string& alias) {
  const std::string& file = connected[alias];
  if (file.empty()) databaseError("Database '" + alias + "' is not connected");
  return databases.at(file);
}

app::EngineFactory FakeWorld::factory() {
  app::EngineFactory f;
  f.storeTable = [this] { return std::make_unique<FakeStoreTable>(*this); };
  f.connection = [this](const app::ConnectionSettings& s) {
    connectionSettings.push_back(s);
    return std::make_unique<FakeConnection>(*this, s.databaseName);
  };
  f.table = [this](const app::TableSettings& s) {
    tableSettings.push_back(s);
    return std::make_unique<FakeTable>(*this, s.databaseName, s.tableName);
  };
  f.query = [this](const app::QuerySettings& s) {
    querySettings.push_back(s);
    return std::make_unique<FakeQuery>(*this, s.databaseName, s.name);
  };
  f.archive = [this] { return std::make_unique<FakeArchive>(*this); };
  return f;
}

// ---- store table

FakeTableData& FakeStoreTable::data() { return world_.stores.at(path_).config; }

void FakeStoreTable::setDatabaseName(const std::string& path) {
  if (open_) databaseError("Cannot perform this operation on an open dataset");
  path_ = path;
  table_.clear();
}

void FakeStoreTable::setPassword(const std::string& password) {
  if (!world_.stores.count(path_)) databaseError("Cannot open file '" + path_ + "'");
  password_ = password;
}

void FakeStoreTable::setTableName(const std::string& name) { table_ = name; }

void FakeStoreTable::open() {
  if (open_) return;
  if (!world_.stores.count(path_)) databaseError("Cannot open file '" + path_ + "'");
  if (password_ != world_.stores.at(path_).password) databaseError("Access denied");
  if (!sameName(table_, "Config")) databaseError("Table '" + table_ + "' not found");
  world_.record("DB open " + path_);
  open_ = true;
  state_ = TableState::Browse;
}

void FakeStoreTable::close() {
  if (open_) world_.record("DB close");
  open_ = false;
  state_ = TableState::Inactive;
  password_.clear();
}

Variant FakeStoreTable::fieldValue(const std::string& field) {
  if (!open_) databaseError("Cannot perform this operation on a closed dataset");
  requireColumn(data(), field);
  if (state_ == TableState::Edit || state_ == TableState::Insert) return buffer_.at(field);
  return data().rows.empty() ? Variant::null() : data().rows.front().at(field);
}

void FakeStoreTable::edit() {
  if (!open_) databaseError("Cannot perform this operation on a closed dataset");
  if (data().rows.empty()) {
    state_ = TableState::Insert;
    buffer_ = emptyRow(data());
  } else {
    state_ = TableState::Edit;
    buffer_ = data().rows.front();
  }
}

void FakeStoreTable::setFieldValue(const std::string& field, const Variant& value) {
  if (state_ != TableState::Edit && state_ != TableState::Insert) databaseError("Dataset not in edit or insert mode");
  requireColumn(data(), field);
  buffer_[field] = stored(data(), field, value);
}

void FakeStoreTable::post() {
  if (state_ != TableState::Edit && state_ != TableState::Insert) databaseError("Dataset not in edit or insert mode");
  world_.record("DB post");
  if (state_ == TableState::Edit)
    data().rows.front() = buffer_;
  else
    data().rows.push_back(buffer_);
  state_ = TableState::Browse;
}

// ---- connection

void FakeConnection::setDatabaseFileName(const std::string& path) {
  if (!world_.connected[alias_].empty()) setConnected(false);
  path_ = path;
}

void FakeConnection::setConnected(bool connected) {
  std::string& current = world_.connected[alias_];
  if (connected) {
    if (!current.empty()) return;
    world_.record(alias_ + " connect " + path_);
    if (!world_.databases.count(path_)) throw platform::EVZException(30003, "Cannot open database file");
    current = path_;
  } else {
    if (current.empty()) return;
    // Tables and queries bound to the connection close first.
    for (auto [it, end] = world_.tablesByAlias.equal_range(alias_); it != end; ++it) it->second->close();
    for (auto [it, end] = world_.queriesByAlias.equal_range(alias_); it != end; ++it) it->second->close();
    world_.record(alias_ + " disconnect");
    current.clear();
  }
}

bool FakeConnection::changeDatabaseSettings(std::string& log, bool repair, const std::string& newPassword,
                                            int cipherId, int pageSize, int extentPageCount, int maxConnections) {
  if (!world_.connected[alias_].empty()) databaseError("Cannot perform this operation on a connected database");
  world_.record(alias_ + " ChangeDatabaseSettings " + path_ + " log=\"" + log + "\" repair=" +
                (repair ? "true" : "false") + " password=" + newPassword + " cipher=" + std::to_string(cipherId) +
                " page=" + std::to_string(pageSize) + " extent=" + std::to_string(extentPageCount) +
                " connections=" + std::to_string(maxConnections));
  log.clear();
  FakeDatabase& db = world_.databases.at(path_);
  db.cipherId = cipherId;
  db.pageSize = pageSize;
  db.extentPageCount = extentPageCount;
  db.maxConnections = maxConnections;
  return true;
}

int FakeConnection::cipherId() {
  const auto it = world_.databases.find(path_);
  return it == world_.databases.end() ? 0 : it->second.cipherId;
}

// ---- table

FakeTable::FakeTable(FakeWorld& world, std::string alias, std::string name)
    : world_(world), alias_(std::move(alias)), name_(std::move(name)) {
  world_.tablesByAlias.emplace(alias_, this);
}

FakeTable::~FakeTable() { forget(world_.tablesByAlias, alias_, this); }

FakeTableData& FakeTable::data() { return world_.databases.at(file_).tables.at(name_); }

void FakeTable::requireOpen() {
  if (!open_) databaseError("Cannot perform this operation on a closed dataset");
}

void FakeTable::open() {
  if (open_) return;
  FakeDatabase& db = world_.databaseOf(alias_);
  world_.record(name_ + " open");
  if (!db.tables.count(name_)) throw platform::EVZException(30001, "Table '" + name_ + "' not found");
  file_ = world_.connected[alias_];
  open_ = true;
  state_ = TableState::Browse;
  position_ = 0;
}

void FakeTable::refresh() {
  requireOpen();
  world_.record(name_ + " refresh");
}

void FakeTable::close() {
  if (!open_) return;
  world_.record(name_ + " close");
  open_ = false;  // an unposted edit is cancelled
  state_ = TableState::Inactive;
}

void FakeTable::first() {
  requireOpen();
  if (state_ == TableState::Edit || state_ == TableState::Insert) post();
  position_ = 0;
}

void FakeTable::next() {
  requireOpen();
  if (state_ == TableState::Edit || state_ == TableState::Insert) post();
  if (position_ + 1 < data().rows.size()) ++position_;
}

void FakeTable::edit() {
  requireOpen();
  if (state_ == TableState::Edit || state_ == TableState::Insert) return;
  if (data().rows.empty()) {
    state_ = TableState::Insert;
    buffer_ = emptyRow(data());
  } else {
    state_ = TableState::Edit;
    buffer_ = data().rows[position_];
  }
}

void FakeTable::post() {
  if (state_ != TableState::Edit && state_ != TableState::Insert) databaseError("Dataset not in edit or insert mode");
  world_.record(name_ + " post");
  if (state_ == TableState::Edit) {
    data().rows[position_] = buffer_;
  } else {
    data().rows.push_back(buffer_);
    position_ = data().rows.size() - 1;
  }
  state_ = TableState::Browse;
}

int32_t FakeTable::recordCount() {
  requireOpen();
  return int32_t(data().rows.size());
}

int32_t FakeTable::recordNumber() {
  requireOpen();
  if (state_ == TableState::Insert || data().rows.empty()) return -1;
  return int32_t(position_ + 1);
}

void FakeTable::setFieldValue(const std::string& field, const Variant& value) {
  if (state_ != TableState::Edit && state_ != TableState::Insert) databaseError("Dataset not in edit or insert mode");
  requireColumn(data(), field);
  buffer_[field] = stored(data(), field, value);
}

Variant FakeTable::fieldValue(const std::string& field) {
  requireOpen();
  requireColumn(data(), field);
  if (state_ == TableState::Edit || state_ == TableState::Insert) return buffer_.at(field);
  if (data().rows.empty()) return Variant::null();
  return data().rows[position_].at(field);
}

// ---- query

FakeQuery::FakeQuery(FakeWorld& world, std::string alias, std::string name)
    : world_(world), alias_(std::move(alias)), name_(std::move(name)) {
  world_.queriesByAlias.emplace(alias_, this);
}

FakeQuery::~FakeQuery() { forget(world_.queriesByAlias, alias_, this); }

void FakeQuery::execSql() {
  world_.databaseOf(alias_);
  world_.record(name_ + " ExecSQL " + world_.connected[alias_]);
}

void FakeQuery::setParamValue(const std::string& name, const Variant& value) { params_[name] = value; }

void FakeQuery::open() {
  if (open_) return;
  FakeDatabase& db = world_.databaseOf(alias_);
  if (params_.size() != 1) databaseError("Value for parameter not found");
  const int32_t id = params_.begin()->second.toInteger();
  world_.record(name_ + " open " + params_.begin()->first + "=" + std::to_string(id));
  const auto& results = db.queryResults[name_];
  const auto it = results.find(id);
  hasRow_ = it != results.end();
  row_ = hasRow_ ? it->second : Row{};
  open_ = true;
}

void FakeQuery::close() { open_ = false; }

Variant FakeQuery::fieldValue(const std::string& field) {
  if (!open_) databaseError("Cannot perform this operation on a closed dataset");
  if (!hasRow_) return Variant::null();
  return row_.at(field);
}

// ---- archive

void FakeArchive::setFileName(const std::string& path) { fileName_ = path; }
void FakeArchive::setPassword(const std::string& password) { password_ = password; }
void FakeArchive::setBaseDir(const std::string& path) { baseDir_ = path; }

void FakeArchive::openArchive() {
  world_.record("Archiver open " + fileName_ + " password=" + password_);
  open_ = true;
}

void FakeArchive::extractFiles(const std::string& fileMask, uint32_t attributeMask, const std::string& exclusionMask) {
  if (!open_) throw platform::EZAException(0, 0, "Archive is not open");
  world_.record("Archiver extract " + fileMask + " " + std::to_string(attributeMask) + " \"" + exclusionMask +
                "\" into " + baseDir_);
}

void FakeArchive::closeArchive() {
  world_.record("Archiver close");
  open_ = false;
}

FakeTableData configTable(bool withRow) {
  FakeTableData t;
  t.columns = {"App_Type", "App_Ver", "App_Build", "DB_Ver", "Exercice"};
  t.textSizes = {{"App_Type", 10}, {"App_Ver", 10}, {"App_Build", 10}, {"DB_Ver", 10}};
  if (withRow) {
    t.rows.push_back(
        {{"App_Type", Variant("Pro")}, {"App_Ver", Variant("5.6")}, {"App_Build", Variant("3")},
         {"DB_Ver", Variant("3.7")}, {"Exercice", Variant(int32_t(2019))}});
  }
  return t;
}

}  // namespace app_test
