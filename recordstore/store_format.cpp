#include "recordstore/store_format.h"

#include <algorithm>
#include <cstring>

#include "platform/bytes.h"

namespace rec::format {

using namespace platform;

std::string loadText(const uint8_t* p, size_t size) {
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(p, 0, size));
  return std::string(reinterpret_cast<const char*>(p), end ? size_t(end - p) : size);
}

void storeText(uint8_t* p, size_t size, std::string_view text) {
  if (size == 0) return;
  size_t n = std::min(text.size(), size - 1);
  std::memcpy(p, text.data(), n);
  std::memset(p + n, 0, size - n);
}

AlgorithmBlock decodeAlgorithmBlock(const uint8_t* block) {
  AlgorithmBlock a;
  a.compress = loadU8(block + kAlgoCompressFlag) != 0;
  a.compressLevel = loadU8(block + kAlgoCompressLevel);
  a.compressAlgoName = loadText(block + kAlgoCompressName, kAlgoNameSize);
  a.encrypt = loadU8(block + kAlgoEncryptFlag) != 0;
  a.encryptMode = loadU8(block + kAlgoEncryptMode);
  a.encryptAlgoName = loadText(block + kAlgoEncryptName, kAlgoNameSize);
  a.verifyBlobWrites = loadU8(block + kAlgoVerifyBlobWrites) != 0;
  a.passwordCheck = loadText(block + kAlgoPasswordCheck, kAlgoPasswordCheckSize - 1);
  return a;
}

void encodeAlgorithmBlock(const AlgorithmBlock& a, uint8_t* block) {
  storeU8(block + kAlgoCompressFlag, a.compress ? 1 : 0);
  storeU8(block + kAlgoCompressLevel, a.compressLevel);
  storeText(block + kAlgoCompressName, kAlgoNameSize, a.compressAlgoName);
  storeU8(block + kAlgoEncryptFlag, a.encrypt ? 1 : 0);
  storeU8(block + kAlgoEncryptMode, a.encryptMode);
  storeText(block + kAlgoEncryptName, kAlgoNameSize, a.encryptAlgoName);
  storeU8(block + kAlgoVerifyBlobWrites, a.verifyBlobWrites ? 1 : 0);
  storeText(block + kAlgoPasswordCheck, kAlgoPasswordCheckSize, a.passwordCheck);
}

TableDirectory decodeTableDirectory(const uint8_t* block) {
  TableDirectory d;
  d.tableCount = loadI32(block + kDirTableCount);
  if (d.tableCount >= 0 && size_t(d.tableCount) <= kMaxTables) {
    for (int32_t i = 0; i < d.tableCount; ++i) d.tableOffsets.push_back(loadI32(block + kDirTableOffsets + 4 * size_t(i)));
  }
  return d;
}

void encodeTableDirectory(const TableDirectory& d, uint8_t* block) {
  storeI32(block + kDirTableCount, d.tableCount);
  for (size_t i = 0; i < d.tableOffsets.size() && i < kMaxTables; ++i)
    storeI32(block + kDirTableOffsets + 4 * i, d.tableOffsets[i]);
}

TableHeader decodeTableHeader(const uint8_t* h) {
  TableHeader t;
  t.name = loadText(h + kHdrTableName, kNameSize);
  t.recTabOffset = loadI32(h + kHdrRecTabOffset);
  t.recTabCount = loadI32(h + kHdrRecTabCount);
  t.autoIncCounter = loadI32(h + kHdrAutoIncCounter);
  t.fieldCount = loadI32(h + kHdrFieldCount);
  if (t.fieldCount >= 0 && size_t(t.fieldCount) <= kMaxFields) {
    for (int32_t i = 0; i < t.fieldCount; ++i) {
      const uint8_t* f = h + kHdrFieldDefs + kFieldDefSize * size_t(i);
      t.fields.push_back({loadText(f + kFdName, kNameSize), loadU8(f + kFdType), loadI32(f + kFdSize),
                          loadU8(f + kFdProcessMode)});
    }
  }
  t.indexCount = loadI32(h + kHdrIndexCount);
  if (t.indexCount >= 0 && size_t(t.indexCount) <= kMaxIndexes) {
    for (int32_t i = 0; i < t.indexCount; ++i) {
      const uint8_t* x = h + kHdrIndexDefs + kIndexDefSize * size_t(i);
      IndexDef d;
      d.name = loadText(x + kIdName, kNameSize);
      d.options = loadU8(x + kIdOptions);
      for (size_t k = 0; k < kMaxIndexFields; ++k) {
        int32_t field = loadI32(x + kIdFields + 4 * k);
        if (field < 0) break;
        d.fields.push_back(field);
      }
      d.idxTabOffset = loadI32(x + kIdTabOffset);
      d.idxHead = loadI32(x + kIdHead);
      t.indexes.push_back(std::move(d));
    }
  }
  return t;
}

void storeTableCounters(uint8_t* h, int32_t recTabOffset, int32_t recTabCount, int32_t autoIncCounter) {
  storeI32(h + kHdrRecTabOffset, recTabOffset);
  storeI32(h + kHdrRecTabCount, recTabCount);
  storeI32(h + kHdrAutoIncCounter, autoIncCounter);
}

void storeIndexLinks(uint8_t* h, size_t index, int32_t idxTabOffset, int32_t idxHead) {
  uint8_t* x = h + kHdrIndexDefs + kIndexDefSize * index;
  storeI32(x + kIdTabOffset, idxTabOffset);
  storeI32(x + kIdHead, idxHead);
}

void encodeTableHeader(const TableHeader& t, uint8_t* h) {
  storeText(h + kHdrTableName, kNameSize, t.name);
  storeTableCounters(h, t.recTabOffset, t.recTabCount, t.autoIncCounter);
  storeI32(h + kHdrFieldCount, t.fieldCount);
  for (size_t i = 0; i < t.fields.size() && i < kMaxFields; ++i) {
    uint8_t* f = h + kHdrFieldDefs + kFieldDefSize * i;
    storeText(f + kFdName, kNameSize, t.fields[i].name);
    storeU8(f + kFdType, t.fields[i].type);
    storeI32(f + kFdSize, t.fields[i].size);
    storeU8(f + kFdProcessMode, t.fields[i].dataProcessMode);
  }
  storeI32(h + kHdrIndexCount, t.indexCount);
  for (size_t i = 0; i < t.indexes.size() && i < kMaxIndexes; ++i) {
    const IndexDef& d = t.indexes[i];
    uint8_t* x = h + kHdrIndexDefs + kIndexDefSize * i;
    storeText(x + kIdName, kNameSize, d.name);
    storeU8(x + kIdOptions, d.options);
    for (size_t k = 0; k < kMaxIndexFields; ++k)
      storeI32(x + kIdFields + 4 * k, k < d.fields.size() ? d.fields[k] : -1);
    storeIndexLinks(h, i, d.idxTabOffset, d.idxHead);
  }
}

bool isBlobType(uint8_t type) { return dataset::isBlobType(fieldType(type)); }

bool isTextType(uint8_t type) { return fieldType(type) == FieldType::String || fieldType(type) == FieldType::FixedChar; }

bool isKnownFieldType(uint8_t type) { return fieldByteCount(type, 0) != 0; }

size_t fieldByteCount(uint8_t type, int32_t size) {
  switch (fieldType(type)) {
    case FieldType::String:
    case FieldType::FixedChar:
      return size < 0 ? 0 : size_t(size) + 1;
    case FieldType::Smallint:
    case FieldType::Word:
    case FieldType::Boolean:
      return 2;
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Date:
    case FieldType::Time:
      return 4;
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::DateTime:
    case FieldType::Largeint:
      return 8;
    default:
      return isBlobType(type) ? kBlobDescriptorSize : 0;
  }
}

BlobDescriptor decodeBlobDescriptor(const uint8_t* p) {
  return {loadI32(p + kBlobOffset), loadI32(p + kBlobLength), loadI32(p + kBlobCapacity)};
}

void storeBlobDescriptor(uint8_t* p, const BlobDescriptor& b) {
  storeI32(p + kBlobOffset, b.offset);
  storeI32(p + kBlobLength, b.length);
  storeI32(p + kBlobCapacity, b.capacity);
}

}  // namespace rec::format
