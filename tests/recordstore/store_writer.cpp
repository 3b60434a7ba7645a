#include "store_writer.h"

#include <cstring>
#include <memory>

#include "platform/bytes.h"
#include "recordstore/blob_compression.h"
#include "recordstore/block_ciphers.h"
#include "recordstore/check_text.h"
#include "recordstore/cipher_modes.h"
#include "recordstore/sha0.h"
#include "recordstore/store_format.h"
#include "test_support.h"

namespace store_writer {

using namespace rec::format;

namespace {

void put32(std::string& out, size_t at, int32_t value) {
  platform::storeI32(reinterpret_cast<uint8_t*>(out.data() + at), value);
}

// A zero block at the end; the first one goes into the header, each later
// one is linked from the one before.
size_t newBlock(std::string& out, size_t size, size_t entry, size_t previous, int32_t& firstOffset) {
  size_t block = out.size();
  out.append(size, '\0');
  if (entry == 0)
    firstOffset = int32_t(block);
  else
    put32(out, previous + kBlockNext, int32_t(block));
  return block;
}

struct Encoder {
  std::unique_ptr<rec::ModeCipher> cipher;
  bool compress = false;

  std::string field(const Field& f, std::string bytes) const {
    if (cipher && f.dataProcessMode == 0) cipher->encrypt(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    return bytes;
  }
  std::string blob(const Field& f, const std::string& value) const {
    std::string stored = compress && f.dataProcessMode == 0 ? rec::zlibFrame(value) : value;
    return field(f, stored);
  }
};

}  // namespace

std::string build(const Store& store) {
  std::string out(kFixedHeaderSize, '\0');
  auto* base = reinterpret_cast<uint8_t*>(out.data());
  storeText(base + kSignatureOffset, kSignatureSize, "RecDB");
  storeText(base + kVersionOffset, kVersionSize, store.version);

  Encoder encoder;
  encoder.compress = store.compress;
  AlgorithmBlock algorithms;
  algorithms.compress = store.compress;
  algorithms.compressLevel = 1;
  algorithms.compressAlgoName = store.compressName;
  algorithms.encrypt = store.encrypt;
  algorithms.encryptMode = store.mode;
  algorithms.encryptAlgoName = store.cipher;
  algorithms.verifyBlobWrites = store.verifyBlobWrites;
  if (store.encrypt) {
    algorithms.passwordCheck = rec::passwordCheckText(store.password);
    if (auto block = rec::createBlockCipher(store.cipher)) {
      encoder.cipher = std::make_unique<rec::ModeCipher>(std::move(block), store.mode);
      rec::Sha0Digest digest = rec::Sha0::digest(store.password);
      encoder.cipher->setKey(digest.data(), digest.size());
    }
  }
  encodeAlgorithmBlock(algorithms, base + kAlgorithmBlockOffset);

  TableDirectory directory;
  directory.tableCount = int32_t(store.tables.size());
  for (const Table& table : store.tables) {
    const size_t headerAt = out.size();
    directory.tableOffsets.push_back(int32_t(headerAt));
    out.append(kTableHeaderSize, '\0');

    TableHeader header;
    header.name = table.name;
    header.fieldCount = int32_t(table.fields.size());
    for (const Field& f : table.fields) header.fields.push_back({f.name, uint8_t(f.type), f.size, f.dataProcessMode});
    header.indexCount = int32_t(table.indexes.size());
    std::vector<size_t> offsets;
    size_t recordSize = 0;
    for (const Field& f : table.fields) {
      offsets.push_back(recordSize);
      recordSize += fieldByteCount(uint8_t(f.type), f.size);
    }
    header.recTabCount = int32_t(table.records.size());
    header.autoIncCounter = table.autoIncCounter;

    // Record-table blocks, each followed by its records and their BLOBs.
    size_t previousBlock = 0;
    for (size_t n = 0; n < table.records.size(); ++n) {
      if (n % kEntriesPerBlock == 0) previousBlock = newBlock(out, kRecordTabBlockSize, n, previousBlock, header.recTabOffset);
      const size_t recordAt = out.size();
      put32(out, previousBlock + recEntryPosition(int64_t(n)) + kRecEntryOffset, int32_t(recordAt));
      out[previousBlock + recEntryPosition(int64_t(n)) + kRecEntryDeleted] = table.deleted.count(int32_t(n)) ? 1 : 0;
      std::string record(recordSize, '\0');
      std::string blobs;
      for (size_t f = 0; f < table.fields.size(); ++f) {
        const Field& def = table.fields[f];
        const std::string& value = f < table.records[n].size() ? table.records[n][f] : std::string();
        if (dataset::isBlobType(def.type)) {
          std::string stored = encoder.blob(def, value);
          uint8_t descriptor[kBlobDescriptorSize] = {};
          int64_t capacity = blobCapacityFor(int64_t(stored.size()));
          storeBlobDescriptor(descriptor, {int32_t(recordAt + recordSize + blobs.size()), int32_t(stored.size()),
                                           int32_t(capacity)});
          std::memcpy(record.data() + offsets[f], descriptor, sizeof descriptor);
          blobs += stored;
          blobs.append(size_t(capacity) - stored.size(), '\0');
        } else {
          std::string bytes(fieldByteCount(uint8_t(def.type), def.size), '\0');
          std::memcpy(bytes.data(), value.data(), std::min(value.size(), bytes.size()));
          bytes = encoder.field(def, bytes);
          std::memcpy(record.data() + offsets[f], bytes.data(), bytes.size());
        }
      }
      out += record;
      out += blobs;
    }

    // Index-table blocks with each index's chain.
    for (const Index& index : table.indexes) {
      IndexDef def;
      def.name = index.name;
      def.options = index.options;
      def.fields = index.fields;
      def.idxHead = index.chain.empty() ? -1 : index.chain.front();
      std::vector<int32_t> next(table.records.size(), -1);
      for (size_t i = 0; i + 1 < index.chain.size(); ++i) next[size_t(index.chain[i])] = index.chain[i + 1];
      size_t block = 0;
      const size_t entries = index.chain.empty() ? 0 : table.records.size();
      for (size_t n = 0; n < entries; ++n) {
        if (n % kEntriesPerBlock == 0) block = newBlock(out, kIndexTabBlockSize, n, block, def.idxTabOffset);
        put32(out, block + idxEntryPosition(int64_t(n)) + kIdxEntryRecord, int32_t(n));
        put32(out, block + idxEntryPosition(int64_t(n)) + kIdxEntryNext, next[n]);
      }
      header.indexes.push_back(def);
    }
    encodeTableHeader(header, reinterpret_cast<uint8_t*>(out.data() + headerAt));
  }
  encodeTableDirectory(directory, reinterpret_cast<uint8_t*>(out.data()) + kDirectoryOffset);
  return out;
}

void write(const std::string& path, const Store& store) { testing_support::writeFile(path, build(store)); }

std::string text(std::string_view value) { return std::string(value); }

template <class T>
static std::string plain(T value, void (*store)(uint8_t*, T)) {
  std::string out(sizeof(T), '\0');
  store(reinterpret_cast<uint8_t*>(out.data()), value);
  return out;
}

std::string i16(int16_t value) { return plain(value, platform::storeI16); }
std::string u16(uint16_t value) { return plain(value, platform::storeU16); }
std::string i32(int32_t value) { return plain(value, platform::storeI32); }
std::string i64(int64_t value) { return plain(value, platform::storeI64); }
std::string f64(double value) { return plain(value, platform::storeF64); }

int32_t loadI32(const std::string& file, size_t offset) {
  return platform::loadI32(reinterpret_cast<const uint8_t*>(file.data() + offset));
}

}  // namespace store_writer
