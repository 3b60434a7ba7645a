// The record set both engines' tables and queries derive from: open and
// close, a current record, browse / edit / insert states, field objects read
// and written by name, and navigation with the usual BOF / EOF rules.
//
// The base keeps the current record and, while editing or inserting, an edit
// buffer; a derived dataset supplies the rows through a cursor it owns:
//
//   internalOpen    open the cursor, call setFieldDefs(), and stand before
//                   the first row
//   internalClose   release everything internalOpen took
//   internalFirst   stand before the first row
//   internalLast    stand after the last row
//   fetchRecord     Next / Prior: move one row and read it into the buffer,
//                   or answer Eof / Bof (standing past that end);
//                   Current: read the row the cursor stands on again, or
//                   answer Eof when there is none
//   internalSetToRecord
//                   stand on the row a buffer was read from (called before
//                   moving, editing or deleting when the cursor was left
//                   elsewhere by a move that found nothing)
//   internalEdit    about to edit the current row: may refuse by raising
//   internalPost    store the edit buffer (rewrite the current row, or add
//                   a new one when inserting) and stand on the stored row;
//                   raising leaves the dataset in its edit or insert state
//   internalCancel  the edit or insert is abandoned
//   internalDelete  delete the current row and stand on the row after it
//                   (or past the end)
//   internalRefresh make changes made elsewhere visible
//   loadBlob        read a large-object value marked pending in a buffer
//   recordCountHook / recNoHook
//                   number of visible rows, position of the current one
//
// Moving off an edited record posts it when a field was written, and
// cancels it otherwise; closing abandons an edit or insert. Editing a
// dataset without rows starts an insert.
//
// A derived class calls close() in its own destructor: the base destructor
// cannot reach the derived hooks any more.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/field.h"
#include "dataset/record_buffer.h"
#include "dataset/variant.h"

namespace dataset {

enum class DataSetState { Inactive, Browse, Edit, Insert };

enum class FetchMode { Current, Next, Prior };
enum class FetchResult { Ok, Bof, Eof };

class DataSet {
 public:
  DataSet();
  virtual ~DataSet();
  DataSet(const DataSet&) = delete;
  DataSet& operator=(const DataSet&) = delete;

  DataSetState state() const { return state_; }
  bool active() const { return state_ != DataSetState::Inactive; }
  void setActive(bool active);
  void open();
  void close();

  bool readOnly() const { return readOnly_; }
  // Refused while open.
  void setReadOnly(bool readOnly);
  // Whether rows may be edited, inserted and deleted.
  virtual bool canModify() const { return !readOnly_; }

  bool bof() const { return bof_; }
  bool eof() const { return eof_; }
  // No current record and nothing being inserted.
  bool isEmpty() const;
  void first();
  void last();
  void next();
  void prior();
  // Moves up to `distance` rows (backwards when negative) and answers how
  // many rows it moved; stops at either end, setting BOF or EOF.
  int moveBy(int distance);

  // 0 when closed.
  int recordCount();
  // Position of the current row from 1; -1 when closed, while inserting, or
  // without a current row.
  int recNo();

  void edit();
  void insert();
  void append();
  // Stores the record being edited or inserted; nothing to do in browse state.
  void post();
  void cancel();
  void deleteRecord();
  void refresh();
  // A field was written since the edit or insert began.
  bool modified() const { return modified_; }
  // Posts a modified edit or insert, cancels an unmodified one.
  void checkBrowseMode();

  int fieldCount() const { return int(fields_.size()); }
  Field& field(int index) const { return *fields_.at(size_t(index)); }
  // Names compare without regard to case; nullptr when there is none.
  Field* findField(std::string_view name) const;
  // EDatabaseError "Field '%s' not found".
  Field& fieldByName(std::string_view name) const;
  Variant fieldValue(std::string_view name) const { return fieldByName(name).value(); }
  void setFieldValue(std::string_view name, const Variant& value) { fieldByName(name).setValue(value); }
  const std::vector<FieldDef>& fieldDefs() const { return fieldDefs_; }

 protected:
  virtual void internalOpen() = 0;
  virtual void internalClose() = 0;
  virtual void internalFirst() = 0;
  virtual void internalLast() = 0;
  virtual FetchResult fetchRecord(FetchMode mode, RecordBuffer& buffer) = 0;
  virtual void internalSetToRecord(const RecordBuffer& buffer) = 0;
  virtual void internalPost(RecordBuffer& buffer, bool inserting) = 0;
  // Defaults of a new record (every field starts null).
  virtual void internalInitRecord(RecordBuffer& buffer);
  virtual void internalEdit();
  virtual void internalCancel();
  // Raises "Operation not supported".
  virtual void internalDelete();
  virtual void internalRefresh();
  // Leaves the value null.
  virtual void loadBlob(int fieldIndex, RecordBuffer& buffer);
  // Unknown by default: -1.
  virtual int recordCountHook();
  virtual int recNoHook();

  // Called by internalOpen: the fields of the dataset, in record order.
  void setFieldDefs(std::vector<FieldDef> defs);
  // "Cannot perform this operation on a closed dataset" / "... on an open dataset".
  void checkActive() const;
  void checkInactive() const;
  // The record fields read: the edit buffer while editing or inserting, else
  // the current record; nullptr without either.
  RecordBuffer* activeBuffer();
  // The current record as last read (also while editing).
  const RecordBuffer& currentBuffer() const { return current_; }
  bool hasCurrentRecord() const { return hasCurrent_; }

 private:
  friend class Field;
  Variant fieldData(int index);
  void setFieldData(int index, Variant value);

  void checkCanModify() const;
  void checkRequiredFields() const;
  // Reads a row into the current record; false (current record kept) when
  // the cursor answers Bof or Eof.
  bool fetch(FetchMode mode);
  void putCursorOnCurrent();
  // After the rows changed under the cursor: the record the cursor stands
  // on, else the next, else the previous one.
  void resync();
  void positionOnFirst();
  void endEditing();

  DataSetState state_ = DataSetState::Inactive;
  bool readOnly_ = false;
  bool bof_ = true;
  bool eof_ = true;
  bool hasCurrent_ = false;
  // False after a move found nothing: the cursor stands past an end while
  // the current record stays what it was.
  bool cursorOnCurrent_ = false;
  bool modified_ = false;
  std::vector<FieldDef> fieldDefs_;
  std::vector<std::unique_ptr<Field>> fields_;
  RecordBuffer current_;
  RecordBuffer edit_;
  RecordBuffer scratch_;
};

}  // namespace dataset
