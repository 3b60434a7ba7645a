// Appending, rewriting and deleting records of a table, with their BLOB
// data blocks and index chains. The file only grows: new structures go at
// its end, records are rewritten in place, deleted records keep their space.
#include <algorithm>
#include <cstring>

#include "platform/bytes.h"
#include "platform/crc32.h"
#include "platform/errors.h"
#include "recordstore/field_values.h"
#include "recordstore/messages.h"
#include "recordstore/table_io.h"

namespace rec {

using namespace format;
using platform::EDatabaseError;
using platform::loadI32;
using platform::storeI32;

namespace {
// Rewrites of a BLOB whose read-back check keeps failing.
constexpr int kBlobWriteAttempts = 3;
}  // namespace

// --- Keys --------------------------------------------------------------

Placement TRecTableIO::placeInIndex(size_t k, const std::vector<RowItem>& list, const std::vector<uint8_t>& record) {
  const IndexDef& index = header_.indexes[k];
  return placeInOrder(list.size(), [&](size_t i) {
    std::vector<uint8_t> other = readRecordLocked(list[i].recno);
    return compareKeys(layout_, index, other.data(), record.data());
  });
}

void TRecTableIO::checkUnique(const std::vector<uint8_t>& record, int32_t self) {
  for (size_t k = 0; k < header_.indexes.size(); ++k) {
    const IndexDef& index = header_.indexes[k];
    if (!(index.options & (kIndexPrimary | kIndexUnique))) continue;
    const std::vector<RowItem>& list = lists_[k + 1];
    Placement place = placeInIndex(k, list, record);
    if (!place.equalFound) continue;
    // Equal keys sit side by side; the record itself is no conflict.
    auto equalAt = [&](size_t i) {
      std::vector<uint8_t> other = readRecordLocked(list[i].recno);
      return compareKeys(layout_, index, other.data(), record.data()) == 0;
    };
    bool conflict = list[place.equalAt].recno != self;
    for (size_t i = place.equalAt; !conflict && i > 0 && equalAt(i - 1); --i) conflict = list[i - 1].recno != self;
    for (size_t i = place.equalAt + 1; !conflict && i < list.size() && equalAt(i); ++i) conflict = list[i].recno != self;
    if (!conflict) continue;
    std::string key;
    for (size_t n = 0; n < index.fields.size(); ++n) {
      if (n > 0) key += ",";
      dataset::Variant value = decodeFieldValue(layout_, size_t(index.fields[n]), record.data());
      if (!value.isClear()) key += value.toString();
    }
    throw EDatabaseError(msg::kInvalidUnique, {key});
  }
}

// --- Blocks and entries --------------------------------------------------

// A new zero block at the end of the file, linked from the last block.
int64_t TRecTableIO::appendBlock(size_t blockSize, std::vector<int64_t>& blocks) {
  int64_t offset = file_.endOffset();
  std::vector<uint8_t> block(blockSize, 0);
  file_.write(offset, block.data(), block.size());
  if (!blocks.empty()) {
    uint8_t next[4];
    storeI32(next, int32_t(offset));
    file_.write(blocks.back() + int64_t(kBlockNext), next, sizeof next);
  }
  blocks.push_back(offset);
  return offset;
}

void TRecTableIO::writeChainEntry(size_t k, int32_t recno) {
  IndexChain& chain = chains_[k];
  size_t block = size_t(recno) / kEntriesPerBlock;
  // An index whose blocks do not reach this record gets them now.
  while (chain.blocks.size() <= block) {
    bool first = chain.blocks.empty();
    int64_t offset = appendBlock(kIndexTabBlockSize, chain.blocks);
    if (first) {
      header_.indexes[k].idxTabOffset = int32_t(offset);
      storeIndexLinks(rawHeader_.data(), k, header_.indexes[k].idxTabOffset, header_.indexes[k].idxHead);
      writeHeader();
    }
  }
  uint8_t entry[kIdxEntrySize];
  storeI32(entry + kIdxEntryRecord, recno);
  storeI32(entry + kIdxEntryNext, chain.next[size_t(recno)]);
  file_.write(chain.blocks[block] + int64_t(idxEntryPosition(recno)), entry, sizeof entry);
}

// --- BLOB data -----------------------------------------------------------

void TRecTableIO::writeBlobData(size_t field, const std::string& value, const std::string& stored, int64_t offset,
                                int64_t padding) {
  const FieldDef& def = layout_.fields[field];
  std::string data = stored;
  data.append(size_t(std::max<int64_t>(padding, 0)), '\0');
  for (int attempt = 1;; ++attempt) {
    file_.write(offset, data.data(), data.size());
    if (!file_.algorithms().verifyBlobWrites) return;
    bool same = false;
    try {
      std::string back(stored.size(), '\0');
      file_.read(offset, back.data(), back.size());
      std::string decoded = file_.codec().decodeBlob(def, back);
      same = platform::crc32(0, decoded.data(), decoded.size()) == platform::crc32(0, value.data(), value.size());
    } catch (const EDatabaseError&) {
      same = false;  // what cannot be decoded is a mismatch
    }
    if (same) return;
    if (attempt == kBlobWriteAttempts) throw EDatabaseError(msg::kBlobWriteCheck, {def.name});
    data.replace(0, stored.size(), file_.codec().encodeBlob(def, value));
  }
}

BlobDescriptor TRecTableIO::writeNewBlob(size_t field, const std::string& value) {
  std::string stored = file_.codec().encodeBlob(layout_.fields[field], value);
  BlobDescriptor blob;
  blob.offset = int32_t(file_.endOffset());
  blob.length = int32_t(stored.size());
  blob.capacity = int32_t(blobCapacityFor(blob.length));
  writeBlobData(field, value, stored, blob.offset, blob.capacity - blob.length);
  return blob;
}

BlobDescriptor TRecTableIO::rewriteBlob(size_t field, const BlobDescriptor& old, const std::string& value) {
  std::string stored = file_.codec().encodeBlob(layout_.fields[field], value);
  const int64_t end = file_.endOffset();
  const int64_t length = int64_t(stored.size());
  // Only a block that lies wholly behind the fixed header and inside the file
  // is reused; anything else in a descriptor is damage, and the new data goes
  // to the end of the file.
  const bool oldBlockSound = old.offset >= int64_t(kFixedHeaderSize) && old.capacity >= 0 &&
                             int64_t(old.offset) + old.capacity <= end;
  BlobDescriptor blob;
  blob.length = int32_t(length);
  if (oldBlockSound && length <= old.capacity) {
    blob.offset = old.offset;
    blob.capacity = old.capacity;
  } else {
    blob.offset = oldBlockSound && int64_t(old.offset) + old.capacity == end ? old.offset : int32_t(end);
    blob.capacity = int32_t(blobCapacityFor(length));
  }
  int64_t padding = std::min<int64_t>(int64_t(kBlobGranule) - length % int64_t(kBlobGranule), blob.capacity - length);
  writeBlobData(field, value, stored, blob.offset, padding);
  return blob;
}

// --- Records -------------------------------------------------------------

void TRecTableIO::encodeField(std::vector<uint8_t>& block, const std::vector<uint8_t>& record, size_t f) {
  uint8_t* place = block.data() + layout_.offsets[f];
  std::memcpy(place, record.data() + layout_.offsets[f], layout_.sizes[f]);
  file_.codec().encodeField(layout_.fields[f], place, layout_.sizes[f]);
}

int32_t TRecTableIO::appendRecord(std::vector<uint8_t>& record, const BlobValues& blobs) {
  file_.checkWritable();
  FileLock lock(file_);
  refreshLocked();
  record.resize(layout_.recordSize, 0);
  checkUnique(record, -1);

  if (layout_.autoIncField >= 0) {
    uint8_t* value = record.data() + layout_.offsets[size_t(layout_.autoIncField)];
    int32_t v = loadI32(value);
    if (v == 0) {
      v = ++header_.autoIncCounter;
      storeI32(value, v);
    } else if (v > header_.autoIncCounter) {
      header_.autoIncCounter = v;
    }
  }

  // The record-table entry; a full (or missing) block gets a new one first.
  const int32_t n = header_.recTabCount;
  if (size_t(n) % kEntriesPerBlock == 0 || recBlocks_.size() <= size_t(n) / kEntriesPerBlock) {
    bool first = recBlocks_.empty();
    int64_t offset = appendBlock(kRecordTabBlockSize, recBlocks_);
    if (first) header_.recTabOffset = int32_t(offset);
  }
  const int64_t recordAt = file_.endOffset();
  uint8_t entry[kRecEntrySize] = {};
  storeI32(entry + kRecEntryOffset, int32_t(recordAt));
  file_.write(recBlocks_[size_t(n) / kEntriesPerBlock] + int64_t(recEntryPosition(n)), entry, sizeof entry);

  header_.recTabCount = n + 1;
  storeTableCounters(rawHeader_.data(), header_.recTabOffset, header_.recTabCount, header_.autoIncCounter);
  writeHeader();

  // Reserve the record, then its BLOB blocks behind it, then the record.
  std::vector<uint8_t> block(layout_.recordSize, 0);
  file_.write(recordAt, block.data(), block.size());
  for (size_t f = 0; f < layout_.fields.size(); ++f) {
    if (!layout_.isBlob(f)) {
      encodeField(block, record, f);
      continue;
    }
    const std::string empty;
    const std::string& value = f < blobs.size() && blobs[f] ? *blobs[f] : empty;
    storeBlobDescriptor(block.data() + layout_.offsets[f], writeNewBlob(f, value));
  }
  file_.write(recordAt, block.data(), block.size());

  recordOffsets_.push_back(int32_t(recordAt));
  deleted_.push_back(0);
  const RowItem item{int32_t(recordAt), n};
  lists_[0].push_back(item);
  for (size_t k = 0; k < header_.indexes.size(); ++k) {
    chains_[k].next.push_back(-1);
    chains_[k].prev.push_back(-1);
    Placement place = placeInIndex(k, lists_[k + 1], record);
    lists_[k + 1].insert(lists_[k + 1].begin() + std::ptrdiff_t(place.position), item);
    linkAppended(k, n, place.position);
  }
  return n;
}

void TRecTableIO::linkAppended(size_t k, int32_t n, size_t position) {
  IndexChain& chain = chains_[k];
  IndexDef& index = header_.indexes[k];
  if (n == 0) {
    chain.next[0] = -1;
    chain.prev[0] = -1;
    index.idxHead = 0;
    storeIndexLinks(rawHeader_.data(), k, index.idxTabOffset, index.idxHead);
    writeChainEntry(k, 0);
    writeHeader();
    return;
  }
  if (position > 0) {
    int32_t before = lists_[k + 1][position - 1].recno;
    chain.next[size_t(n)] = chain.next[size_t(before)];
    chain.prev[size_t(n)] = before;
    chain.next[size_t(before)] = n;
    if (chain.next[size_t(n)] >= 0) chain.prev[size_t(chain.next[size_t(n)])] = n;
    writeChainEntry(k, n);
    writeChainEntry(k, before);
  } else {
    chain.next[size_t(n)] = index.idxHead >= 0 && index.idxHead < n ? index.idxHead : -1;
    chain.prev[size_t(n)] = -1;
    if (chain.next[size_t(n)] >= 0) chain.prev[size_t(chain.next[size_t(n)])] = n;
    index.idxHead = n;
    writeChainEntry(k, n);
    storeIndexLinks(rawHeader_.data(), k, index.idxTabOffset, index.idxHead);
    writeHeader();
  }
}

void TRecTableIO::rewriteRecord(int32_t recno, std::vector<uint8_t>& record, const std::vector<bool>& given,
                                const BlobValues& blobs) {
  file_.checkWritable();
  FileLock lock(file_);
  refreshLocked();
  // Deleted meanwhile by another process.
  if (!isLive(recno)) throw EDatabaseError(msg::kGeneralError);
  record.resize(layout_.recordSize, 0);
  checkUnique(record, recno);

  const int64_t recordAt = recordOffset(recno);
  std::vector<uint8_t> block(layout_.recordSize);
  file_.read(recordAt, block.data(), block.size());
  std::vector<uint8_t> oldRecord = block;
  decodeRecord(oldRecord);

  bool headerChanged = false;
  for (size_t f = 0; f < layout_.fields.size(); ++f) {
    if (!given.empty() && (f >= given.size() || !given[f])) continue;
    uint8_t* place = block.data() + layout_.offsets[f];
    if (layout_.isBlob(f)) {
      BlobDescriptor old = decodeBlobDescriptor(place);
      std::string value = f < blobs.size() && blobs[f] ? *blobs[f] : readBlobLocked(recordAt, f);
      storeBlobDescriptor(place, rewriteBlob(f, old, value));
    } else if (int(f) == layout_.autoIncField) {
      int32_t v = loadI32(record.data() + layout_.offsets[f]);
      if (v == 0) continue;
      encodeField(block, record, f);
      if (v > header_.autoIncCounter) {
        header_.autoIncCounter = v;
        headerChanged = true;
      }
    } else {
      encodeField(block, record, f);
    }
  }
  if (headerChanged) {
    storeTableCounters(rawHeader_.data(), header_.recTabOffset, header_.recTabCount, header_.autoIncCounter);
    writeHeader();
  }
  file_.write(recordAt, block.data(), block.size());

  std::vector<uint8_t> newRecord = block;
  decodeRecord(newRecord);
  for (size_t k = 0; k < header_.indexes.size(); ++k) moveInIndex(k, recno, oldRecord, newRecord);
}

void TRecTableIO::moveInIndex(size_t k, int32_t recno, const std::vector<uint8_t>& oldRecord,
                              const std::vector<uint8_t>& newRecord) {
  const IndexDef& index = header_.indexes[k];
  if (compareKeys(layout_, index, oldRecord.data(), newRecord.data()) == 0) return;
  std::vector<RowItem>& list = lists_[k + 1];
  auto at = std::find_if(list.begin(), list.end(), [&](const RowItem& i) { return i.recno == recno; });
  if (at == list.end()) return;
  const RowItem item = *at;
  const size_t from = size_t(at - list.begin());
  list.erase(at);
  const size_t to = placeInIndex(k, list, newRecord).position;
  list.insert(list.begin() + std::ptrdiff_t(to), item);
  if (to == from) return;

  IndexChain& chain = chains_[k];
  IndexDef& def = header_.indexes[k];
  bool headerChanged = false;
  // Out of the chain: the old predecessor takes the record's old successor.
  const int32_t oldNext = chain.next[size_t(recno)];
  const int32_t oldPrev = chain.prev[size_t(recno)];
  if (oldPrev >= 0) {
    chain.next[size_t(oldPrev)] = oldNext;
    writeChainEntry(k, oldPrev);
  } else {
    def.idxHead = oldNext;
    headerChanged = true;
  }
  if (oldNext >= 0) chain.prev[size_t(oldNext)] = oldPrev;
  // Into the chain after its new predecessor, or at its head.
  if (to > 0) {
    int32_t before = list[to - 1].recno;
    chain.next[size_t(recno)] = chain.next[size_t(before)];
    chain.next[size_t(before)] = recno;
    chain.prev[size_t(recno)] = before;
    writeChainEntry(k, before);
  } else {
    chain.next[size_t(recno)] = def.idxHead;
    chain.prev[size_t(recno)] = -1;
    def.idxHead = recno;
    headerChanged = true;
  }
  if (chain.next[size_t(recno)] >= 0) chain.prev[size_t(chain.next[size_t(recno)])] = recno;
  writeChainEntry(k, recno);
  if (headerChanged) {
    storeIndexLinks(rawHeader_.data(), k, def.idxTabOffset, def.idxHead);
    writeHeader();
  }
}

void TRecTableIO::deleteRecord(int32_t recno) {
  file_.checkWritable();
  FileLock lock(file_);
  refreshLocked();
  if (!isLive(recno)) return;
  uint8_t deleted = 1;
  file_.write(recBlocks_[size_t(recno) / kEntriesPerBlock] + int64_t(recEntryPosition(recno) + kRecEntryDeleted),
              &deleted, 1);
  deleted_[size_t(recno)] = 1;
  for (std::vector<RowItem>& list : lists_)
    list.erase(std::remove_if(list.begin(), list.end(), [&](const RowItem& i) { return i.recno == recno; }), list.end());
}

}  // namespace rec
