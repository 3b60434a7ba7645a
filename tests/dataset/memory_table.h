// A dataset over rows held in memory, for testing the dataset base: the
// cursor is a row index, -1 before the first row and rows.size() after the
// last. Large-object fields are delivered on demand and counted.
#pragma once

#include <stdexcept>
#include <vector>

#include "dataset/dataset.h"

namespace testing_support {

class MemoryTable : public dataset::DataSet {
 public:
  using Row = std::vector<dataset::Variant>;

  std::vector<dataset::FieldDef> defs;
  std::vector<Row> rows;
  int posts = 0;
  int cancels = 0;
  int blobLoads = 0;
  // The next post raises this text, once.
  const char* failNextPost = nullptr;

  ~MemoryTable() override { close(); }

  // Current row index of the cursor.
  int cursor() const { return pos_; }
  using DataSet::currentBuffer;

 protected:
  void internalOpen() override {
    setFieldDefs(defs);
    pos_ = -1;
  }
  void internalClose() override {}
  void internalFirst() override { pos_ = -1; }
  void internalLast() override { pos_ = int(rows.size()); }

  dataset::FetchResult fetchRecord(dataset::FetchMode mode, dataset::RecordBuffer& buffer) override {
    using dataset::FetchMode;
    using dataset::FetchResult;
    const int n = int(rows.size());
    if (mode == FetchMode::Next) {
      if (pos_ + 1 >= n) {
        pos_ = n;
        return FetchResult::Eof;
      }
      ++pos_;
    } else if (mode == FetchMode::Prior) {
      if (pos_ - 1 < 0) {
        pos_ = -1;
        return FetchResult::Bof;
      }
      --pos_;
    } else if (pos_ < 0 || pos_ >= n) {
      return FetchResult::Eof;
    }
    buffer.bookmark = pos_;
    for (size_t i = 0; i < defs.size(); ++i) {
      if (dataset::isBlobType(defs[i].type))
        buffer.pendingBlobs[i] = true;
      else
        buffer.values[i] = rows[size_t(pos_)][i];
    }
    return FetchResult::Ok;
  }

  void internalSetToRecord(const dataset::RecordBuffer& buffer) override { pos_ = int(buffer.bookmark); }

  void internalPost(dataset::RecordBuffer& buffer, bool inserting) override {
    if (failNextPost) {
      const char* text = failNextPost;
      failNextPost = nullptr;
      throw std::runtime_error(text);
    }
    ++posts;
    Row row = buffer.values;
    // A large object never loaded keeps what the row holds.
    for (size_t i = 0; i < defs.size(); ++i)
      if (buffer.pendingBlobs[i]) row[i] = rows.at(size_t(buffer.bookmark))[i];
    if (inserting) {
      rows.push_back(row);
      pos_ = int(rows.size()) - 1;
    } else {
      rows.at(size_t(pos_)) = row;
    }
  }

  void internalCancel() override { ++cancels; }

  void internalDelete() override { rows.erase(rows.begin() + pos_); }

  void loadBlob(int fieldIndex, dataset::RecordBuffer& buffer) override {
    ++blobLoads;
    buffer.values[size_t(fieldIndex)] = rows.at(size_t(buffer.bookmark))[size_t(fieldIndex)];
  }

  int recordCountHook() override { return int(rows.size()); }
  int recNoHook() override { return pos_ + 1; }

 private:
  int pos_ = -1;
};

}  // namespace testing_support
