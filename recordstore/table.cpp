#include "recordstore/table.h"

#include "platform/errors.h"
#include "recordstore/field_values.h"
#include "recordstore/messages.h"

namespace rec {

using dataset::FetchMode;
using dataset::FetchResult;
using dataset::RecordBuffer;
using platform::EDatabaseError;

TRecTable::TRecTable(TRecSession& session) : session_(session) {}

TRecTable::~TRecTable() { close(); }

void TRecTable::setDatabaseName(std::string_view name) {
  checkInactive();
  databaseName_ = name;
  tableName_.clear();
  indexName_.clear();
}

void TRecTable::setTableName(std::string_view name) {
  checkInactive();
  tableName_ = name;
}

void TRecTable::setIndexName(std::string_view name) {
  indexName_ = name;
  if (!active()) return;
  checkBrowseMode();
  refresh();
}

void TRecTable::setPassword(std::string_view password) {
  TRecDatabase& database = session_.databaseFor(databaseName_);
  try {
    database.open();
  } catch (...) {
    session_.dropIfUnused(database);
    throw;
  }
  database.setPassword(password);
}

void TRecTable::internalOpen() {
  TRecDatabase& database = session_.openDatabase(databaseName_);
  database_ = &database;
  database.attach(this);
  try {
    database.requireAccess();
    int number = database.findTable(tableName_);
    if (number < 0) throw EDatabaseError(msg::kTableNotFound, {tableName_});
    TRecTableIO& io = database.table(number);
    io.load();
    io.addUse();
    io_ = &io;

    std::vector<dataset::FieldDef> defs;
    for (const format::FieldDef& f : io.fields()) {
      dataset::FieldDef def;
      def.name = f.name;
      def.type = dataset::FieldType(f.type);
      def.size = format::isTextType(f.type) ? f.size : 0;
      defs.push_back(std::move(def));
    }
    setFieldDefs(std::move(defs));
    loadRows(-1, -1);
  } catch (...) {
    releaseDatabase();
    throw;
  }
}

void TRecTable::internalClose() { releaseDatabase(); }

void TRecTable::releaseDatabase() {
  rows_.clear();
  position_ = -1;
  if (io_) io_->releaseUse();
  io_ = nullptr;
  if (database_) {
    TRecDatabase* database = database_;
    database_ = nullptr;
    database->detach(this);
    session_.closeDatabase(*database);
  }
}

std::vector<format::IndexDef> TRecTable::indexDefs() const {
  return io_ ? io_->indexes() : std::vector<format::IndexDef>{};
}

size_t TRecTable::chosenList() const {
  int index = indexName_.empty() ? -1 : io_->findIndex(indexName_);
  if (index < 0) index = io_->primaryIndex();
  return size_t(index + 1);
}

void TRecTable::loadRows(int64_t recno, int64_t fallback) {
  rows_ = io_->list(chosenList());
  position_ = std::min<int64_t>(fallback, int64_t(rows_.size()));
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].recno == recno) position_ = int64_t(i);
}

void TRecTable::readRow(size_t position, RecordBuffer& buffer) {
  const RecordLayout& layout = io_->layout();
  const int32_t recno = rows_[position].recno;
  std::vector<uint8_t> record = io_->readRecord(recno);
  buffer.reset(layout.fields.size());
  for (size_t f = 0; f < layout.fields.size(); ++f) {
    if (layout.isBlob(f))
      buffer.pendingBlobs[f] = true;
    else
      buffer.values[f] = decodeFieldValue(layout, f, record.data());
  }
  buffer.bookmark = recno;
}

void TRecTable::internalFirst() { position_ = -1; }

void TRecTable::internalLast() { position_ = int64_t(rows_.size()); }

FetchResult TRecTable::fetchRecord(FetchMode mode, RecordBuffer& buffer) {
  const int64_t count = int64_t(rows_.size());
  switch (mode) {
    case FetchMode::Next:
      if (position_ + 1 >= count) {
        position_ = count;
        return FetchResult::Eof;
      }
      ++position_;
      break;
    case FetchMode::Prior:
      if (position_ - 1 < 0) {
        position_ = -1;
        return FetchResult::Bof;
      }
      --position_;
      break;
    case FetchMode::Current:
      if (position_ < 0 || position_ >= count) return FetchResult::Eof;
      break;
  }
  readRow(size_t(position_), buffer);
  return FetchResult::Ok;
}

void TRecTable::internalSetToRecord(const RecordBuffer& buffer) {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].recno == buffer.bookmark) position_ = int64_t(i);
}

void TRecTable::internalInitRecord(RecordBuffer& buffer) {
  // A new record starts zeroed, as it will be stored.
  const RecordLayout& layout = io_->layout();
  std::vector<uint8_t> zeros(layout.recordSize, 0);
  buffer.reset(layout.fields.size());
  for (size_t f = 0; f < layout.fields.size(); ++f)
    buffer.values[f] = layout.isBlob(f) ? blobValue(layout, f, {}) : decodeFieldValue(layout, f, zeros.data());
}

void TRecTable::internalPost(RecordBuffer& buffer, bool inserting) {
  const RecordLayout& layout = io_->layout();
  std::vector<uint8_t> record(layout.recordSize, 0);
  BlobValues blobs(layout.fields.size());
  for (size_t f = 0; f < layout.fields.size(); ++f) {
    if (!layout.isBlob(f))
      encodeFieldValue(layout, f, buffer.values[f], record.data());
    else if (!buffer.pendingBlobs[f])
      blobs[f] = blobBytes(buffer.values[f]);
  }
  int32_t recno;
  if (inserting) {
    recno = io_->appendRecord(record, blobs);
  } else {
    recno = int32_t(buffer.bookmark);
    io_->rewriteRecord(recno, record, {}, blobs);
  }
  loadRows(recno, position_);
}

void TRecTable::internalDelete() {
  if (position_ < 0 || position_ >= int64_t(rows_.size())) return;
  io_->deleteRecord(rows_[size_t(position_)].recno);
  loadRows(-1, position_);
}

void TRecTable::internalRefresh() {
  int64_t recno = position_ >= 0 && position_ < int64_t(rows_.size()) ? rows_[size_t(position_)].recno : -1;
  io_->refresh();
  loadRows(recno, position_);
}

void TRecTable::loadBlob(int fieldIndex, RecordBuffer& buffer) {
  const size_t f = size_t(fieldIndex);
  buffer.values[f] = blobValue(io_->layout(), f, io_->readBlob(int32_t(buffer.bookmark), f));
  buffer.pendingBlobs[f] = false;
}

int TRecTable::recordCountHook() { return int(rows_.size()); }

int TRecTable::recNoHook() {
  return position_ >= 0 && position_ < int64_t(rows_.size()) ? int(position_ + 1) : -1;
}

}  // namespace rec
