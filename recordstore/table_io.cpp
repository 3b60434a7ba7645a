#include "recordstore/table_io.h"

#include <set>
#include <utility>

#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/locale.h"
#include "recordstore/messages.h"

namespace rec {

using namespace format;
using platform::loadI32;
using platform::loadU8;

namespace {
// The toolkit's text fields go no further; a larger size is damage.
constexpr int32_t kMaxTextSize = 65535;
}  // namespace

TRecTableIO::TRecTableIO(TRecFileIO& file, int number) : file_(file), number_(number) {}

void TRecTableIO::load() {
  FileLock lock(file_);
  if (loaded_)
    refreshLocked();
  else
    loadLocked();
}

void TRecTableIO::unload() {
  loaded_ = false;
  rawHeader_.clear();
  header_ = {};
  layout_ = {};
  recBlocks_.clear();
  recordOffsets_.clear();
  deleted_.clear();
  chains_.clear();
  lists_.clear();
}

void TRecTableIO::releaseUse() {
  if (useCount_ > 0 && --useCount_ == 0) unload();
}

void TRecTableIO::loadLocked() {
  // A failed load leaves what was loaded before, which open datasets use.
  TRecTableIO before(file_, number_);
  before.takeStructures(*this);
  try {
    readStructures();
  } catch (...) {
    takeStructures(before);
    throw;
  }
}

void TRecTableIO::takeStructures(TRecTableIO& other) {
  loaded_ = std::exchange(other.loaded_, false);
  rawHeader_ = std::move(other.rawHeader_);
  header_ = std::move(other.header_);
  layout_ = std::move(other.layout_);
  recBlocks_ = std::move(other.recBlocks_);
  recordOffsets_ = std::move(other.recordOffsets_);
  deleted_ = std::move(other.deleted_);
  chains_ = std::move(other.chains_);
  lists_ = std::move(other.lists_);
}

void TRecTableIO::readStructures() {
  unload();
  rawHeader_ = file_.readTableHeader(number_);
  header_ = decodeTableHeader(rawHeader_.data());
  if (header_.fieldCount < 1 || size_t(header_.fieldCount) > kMaxFields) file_.damaged();
  if (header_.indexCount < 0 || size_t(header_.indexCount) > kMaxIndexes) file_.damaged();
  if (header_.recTabCount < 0) file_.damaged();
  for (const FieldDef& f : header_.fields)
    if (isTextType(f.type) && f.size > kMaxTextSize) file_.damaged();
  layout_ = buildRecordLayout(header_.fields);
  for (const IndexDef& index : header_.indexes)
    for (int32_t field : index.fields)
      if (field >= header_.fieldCount) file_.damaged();

  readRecordTable();
  lists_.assign(1 + header_.indexes.size(), {});
  for (int32_t r = 0; r < header_.recTabCount; ++r)
    if (!deleted_[size_t(r)]) lists_[0].push_back({recordOffsets_[size_t(r)], r});
  chains_.assign(header_.indexes.size(), {});
  for (size_t k = 0; k < header_.indexes.size(); ++k) readIndexChain(k);
  loaded_ = true;
}

// Blocks of a record or index table: from `first`, following NextBlock,
// until `count` entries are read. A block outside the file or met twice is
// damage; `visit(offset, block, entries)` sees each block.
template <class Visit>
static void walkBlocks(TRecFileIO& file, int64_t first, int64_t count, size_t blockSize, Visit visit) {
  std::set<int64_t> seen;
  std::vector<uint8_t> block(blockSize);
  int64_t next = first;
  for (int64_t done = 0; done < count;) {
    if (next <= 0 || !seen.insert(next).second) file.damaged();
    file.read(next, block.data(), block.size());
    int64_t entries = std::min<int64_t>(int64_t(kEntriesPerBlock), count - done);
    visit(next, block.data(), size_t(entries));
    done += entries;
    next = loadI32(block.data() + kBlockNext);
  }
}

void TRecTableIO::readRecordTable() {
  walkBlocks(file_, header_.recTabOffset, header_.recTabCount, kRecordTabBlockSize,
             [&](int64_t offset, const uint8_t* block, size_t entries) {
               recBlocks_.push_back(offset);
               for (size_t i = 0; i < entries; ++i) {
                 const uint8_t* e = block + kBlockEntries + kRecEntrySize * i;
                 recordOffsets_.push_back(loadI32(e + kRecEntryOffset));
                 deleted_.push_back(loadU8(e + kRecEntryDeleted) != 0);
               }
             });
}

void TRecTableIO::readIndexChain(size_t k) {
  const IndexDef& index = header_.indexes[k];
  IndexChain& chain = chains_[k];
  const int32_t count = header_.recTabCount;
  chain.next.assign(size_t(count), -1);
  chain.prev.assign(size_t(count), -1);
  if (index.idxTabOffset == 0) return;
  walkBlocks(file_, index.idxTabOffset, count, kIndexTabBlockSize,
             [&](int64_t offset, const uint8_t* block, size_t entries) {
               size_t first = chain.blocks.size() * kEntriesPerBlock;
               chain.blocks.push_back(offset);
               for (size_t i = 0; i < entries; ++i)
                 chain.next[first + i] = loadI32(block + kBlockEntries + kIdxEntrySize * i + kIdxEntryNext);
             });
  // The chain holds deleted records too; only live ones enter the list. A
  // link outside the table ends the walk, as does a walk longer than the
  // table (a loop).
  int32_t before = -1;
  int32_t r = index.idxHead;
  for (int32_t steps = 0; steps < count && r >= 0 && r < count; ++steps) {
    chain.prev[size_t(r)] = before;
    if (!deleted_[size_t(r)]) lists_[k + 1].push_back({recordOffsets_[size_t(r)], r});
    before = r;
    r = chain.next[size_t(r)];
  }
}

void TRecTableIO::refreshLocked() {
  std::vector<uint8_t> current = file_.readTableHeader(number_);
  if (current != rawHeader_) loadLocked();
}

void TRecTableIO::refresh() {
  FileLock lock(file_);
  refreshLocked();
}

void TRecTableIO::writeHeader() { file_.writeTableHeader(number_, rawHeader_); }

int TRecTableIO::findIndex(std::string_view name) const {
  for (size_t k = 0; k < header_.indexes.size(); ++k)
    if (platform::sameTextAnsi(header_.indexes[k].name, name)) return int(k);
  return -1;
}

int TRecTableIO::primaryIndex() const {
  for (size_t k = 0; k < header_.indexes.size(); ++k)
    if (header_.indexes[k].options & kIndexPrimary) return int(k);
  return -1;
}

bool TRecTableIO::isLive(int32_t recno) const {
  return recno >= 0 && size_t(recno) < deleted_.size() && !deleted_[size_t(recno)];
}

int64_t TRecTableIO::recordOffset(int32_t recno) const {
  if (recno < 0 || size_t(recno) >= recordOffsets_.size()) file_.damaged();
  return recordOffsets_[size_t(recno)];
}

void TRecTableIO::decodeRecord(std::vector<uint8_t>& record) {
  for (size_t f = 0; f < layout_.fields.size(); ++f)
    if (!layout_.isBlob(f)) file_.codec().decodeField(layout_.fields[f], record.data() + layout_.offsets[f], layout_.sizes[f]);
}

std::vector<uint8_t> TRecTableIO::readRecordLocked(int32_t recno) {
  std::vector<uint8_t> record(layout_.recordSize);
  file_.read(recordOffset(recno), record.data(), record.size());
  decodeRecord(record);
  return record;
}

std::vector<uint8_t> TRecTableIO::readRecord(int32_t recno) {
  FileLock lock(file_);
  return readRecordLocked(recno);
}

std::string TRecTableIO::readBlobLocked(int64_t recordOffset, size_t field) {
  uint8_t descriptor[kBlobDescriptorSize];
  file_.read(recordOffset + int64_t(layout_.offsets[field]), descriptor, sizeof descriptor);
  BlobDescriptor blob = decodeBlobDescriptor(descriptor);
  file_.checkRange(blob.offset, blob.length);
  std::string stored(size_t(blob.length), '\0');
  if (blob.length > 0) file_.read(blob.offset, stored.data(), stored.size());
  return file_.codec().decodeBlob(layout_.fields[field], stored);
}

std::string TRecTableIO::readBlob(int32_t recno, size_t field) {
  FileLock lock(file_);
  return readBlobLocked(recordOffset(recno), field);
}

}  // namespace rec
