#include "dataset/dataset.h"

#include <utility>

#include "dataset/dataset_messages.h"
#include "platform/errors.h"
#include "platform/locale.h"

namespace dataset {

using platform::EDatabaseError;

DataSet::DataSet() = default;

DataSet::~DataSet() = default;

void DataSet::setActive(bool active) {
  if (active)
    open();
  else
    close();
}

void DataSet::open() {
  if (active()) return;
  try {
    internalOpen();
    state_ = DataSetState::Browse;
    positionOnFirst();
  } catch (...) {
    bool opened = state_ != DataSetState::Inactive;
    state_ = DataSetState::Inactive;
    fields_.clear();
    fieldDefs_.clear();
    hasCurrent_ = false;
    if (opened) internalClose();
    throw;
  }
}

void DataSet::close() {
  if (!active()) return;
  // An edit or insert still open is abandoned, not stored.
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) internalCancel();
  state_ = DataSetState::Inactive;
  fields_.clear();
  fieldDefs_.clear();
  current_ = RecordBuffer();
  edit_ = RecordBuffer();
  scratch_ = RecordBuffer();
  hasCurrent_ = false;
  cursorOnCurrent_ = false;
  modified_ = false;
  bof_ = eof_ = true;
  internalClose();
}

void DataSet::setReadOnly(bool readOnly) {
  checkInactive();
  readOnly_ = readOnly;
}

void DataSet::checkActive() const {
  if (!active()) throw EDatabaseError(messages::kDataSetClosed);
}

void DataSet::checkInactive() const {
  if (active()) throw EDatabaseError(messages::kDataSetOpen);
}

void DataSet::checkCanModify() const {
  if (!canModify()) throw EDatabaseError(messages::kDataSetReadOnly);
}

bool DataSet::isEmpty() const {
  if (state_ == DataSetState::Insert) return false;
  return !hasCurrent_;
}

void DataSet::setFieldDefs(std::vector<FieldDef> defs) {
  std::vector<std::unique_ptr<Field>> fields;
  for (size_t i = 0; i < defs.size(); ++i) {
    for (size_t j = 0; j < i; ++j)
      if (platform::sameTextAnsi(defs[i].name, defs[j].name))
        throw EDatabaseError(messages::kDuplicateFieldName, {defs[i].name});
    fields.push_back(std::make_unique<Field>(*this, int(i), defs[i]));
  }
  fieldDefs_ = std::move(defs);
  fields_ = std::move(fields);
  current_.reset(fields_.size());
  edit_.reset(fields_.size());
}

Field* DataSet::findField(std::string_view name) const {
  for (const auto& f : fields_)
    if (platform::sameTextAnsi(f->fieldName(), name)) return f.get();
  return nullptr;
}

Field& DataSet::fieldByName(std::string_view name) const {
  Field* f = findField(name);
  if (!f) throw EDatabaseError(messages::kFieldNotFound, {std::string(name)});
  return *f;
}

RecordBuffer* DataSet::activeBuffer() {
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return &edit_;
  if (hasCurrent_) return &current_;
  return nullptr;
}

Variant DataSet::fieldData(int index) {
  RecordBuffer* buffer = activeBuffer();
  if (!buffer) return Variant::null();
  size_t i = size_t(index);
  if (buffer->pendingBlobs[i]) {
    loadBlob(index, *buffer);
    buffer->pendingBlobs[i] = false;
  }
  return buffer->values[i];
}

void DataSet::setFieldData(int index, Variant value) {
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) throw EDatabaseError(messages::kNotEditing);
  size_t i = size_t(index);
  edit_.values[i] = std::move(value);
  edit_.pendingBlobs[i] = false;
  modified_ = true;
}

bool DataSet::fetch(FetchMode mode) {
  scratch_.reset(fields_.size());
  if (fetchRecord(mode, scratch_) != FetchResult::Ok) {
    cursorOnCurrent_ = false;
    return false;
  }
  std::swap(current_, scratch_);
  hasCurrent_ = true;
  cursorOnCurrent_ = true;
  return true;
}

void DataSet::putCursorOnCurrent() {
  if (hasCurrent_ && !cursorOnCurrent_) {
    internalSetToRecord(current_);
    cursorOnCurrent_ = true;
  }
}

void DataSet::positionOnFirst() {
  internalFirst();
  cursorOnCurrent_ = false;
  if (!fetch(FetchMode::Next)) hasCurrent_ = false;
  bof_ = true;
  eof_ = !hasCurrent_;
}

void DataSet::resync() {
  bof_ = eof_ = false;
  if (fetch(FetchMode::Current) || fetch(FetchMode::Next) || fetch(FetchMode::Prior)) return;
  hasCurrent_ = false;
  bof_ = eof_ = true;
}

void DataSet::first() {
  checkActive();
  checkBrowseMode();
  positionOnFirst();
}

void DataSet::last() {
  checkActive();
  checkBrowseMode();
  internalLast();
  cursorOnCurrent_ = false;
  if (!fetch(FetchMode::Prior)) hasCurrent_ = false;
  eof_ = true;
  bof_ = !hasCurrent_;
}

void DataSet::next() { moveBy(1); }

void DataSet::prior() { moveBy(-1); }

int DataSet::moveBy(int distance) {
  checkActive();
  checkBrowseMode();
  int moved = 0;
  if ((distance > 0 && !eof_) || (distance < 0 && !bof_)) {
    bof_ = eof_ = false;
    putCursorOnCurrent();
    for (; distance > 0; --distance, ++moved) {
      if (!fetch(FetchMode::Next)) {
        eof_ = true;
        break;
      }
    }
    for (; distance < 0; ++distance, ++moved) {
      if (!fetch(FetchMode::Prior)) {
        bof_ = true;
        break;
      }
    }
  }
  return moved;
}

int DataSet::recordCount() {
  if (!active()) return 0;
  return recordCountHook();
}

int DataSet::recNo() {
  if (!active() || state_ == DataSetState::Insert || !hasCurrent_) return -1;
  return recNoHook();
}

void DataSet::edit() {
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
  checkActive();
  if (!hasCurrent_) {
    insert();
    return;
  }
  checkCanModify();
  putCursorOnCurrent();
  internalEdit();
  edit_ = current_;
  modified_ = false;
  state_ = DataSetState::Edit;
}

void DataSet::insert() {
  checkActive();
  checkBrowseMode();
  checkCanModify();
  edit_.reset(fields_.size());
  internalInitRecord(edit_);
  modified_ = false;
  state_ = DataSetState::Insert;
  bof_ = eof_ = false;
}

void DataSet::append() {
  insert();
  eof_ = true;
}

void DataSet::checkRequiredFields() const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = *fields_[i];
    if (f.required() && !f.readOnly() && !edit_.pendingBlobs[i] && edit_.values[i].isClear())
      throw EDatabaseError(messages::kFieldRequired, {f.fieldName()});
  }
}

void DataSet::endEditing() {
  state_ = DataSetState::Browse;
  modified_ = false;
  edit_.reset(fields_.size());
}

void DataSet::post() {
  checkActive();
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
  checkRequiredFields();
  internalPost(edit_, state_ == DataSetState::Insert);
  endEditing();
  resync();
}

void DataSet::cancel() {
  checkActive();
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
  internalCancel();
  endEditing();
  // The current record was never touched: only the edit buffer is dropped.
  bof_ = eof_ = !hasCurrent_;
}

void DataSet::checkBrowseMode() {
  checkActive();
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
  if (modified_)
    post();
  else
    cancel();
}

void DataSet::deleteRecord() {
  checkActive();
  if (state_ == DataSetState::Insert) {
    cancel();
    return;
  }
  if (!hasCurrent_) throw EDatabaseError(messages::kDataSetEmpty);
  checkCanModify();
  if (state_ == DataSetState::Edit) {
    internalCancel();
    endEditing();
  }
  putCursorOnCurrent();
  internalDelete();
  resync();
}

void DataSet::refresh() {
  checkActive();
  checkBrowseMode();
  putCursorOnCurrent();
  internalRefresh();
  if (hasCurrent_)
    resync();
  else
    positionOnFirst();
}

void DataSet::internalInitRecord(RecordBuffer&) {}

void DataSet::internalEdit() {}

void DataSet::internalCancel() {}

void DataSet::internalDelete() { throw EDatabaseError(messages::kOperationNotSupported); }

void DataSet::internalRefresh() {}

void DataSet::loadBlob(int, RecordBuffer&) {}

int DataSet::recordCountHook() { return -1; }

int DataSet::recNoHook() { return -1; }

}  // namespace dataset
