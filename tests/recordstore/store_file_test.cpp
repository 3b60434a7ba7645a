// Store files written by the tests' own writer: opening checks, damaged
// files, record-table blocks, deleted records, index orders, BLOB blocks,
// text sizes, auto-increment values and read-only files.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/filesystem.h"
#include "recordstore/field_values.h"
#include "recordstore/file_io.h"
#include "recordstore/store_format.h"
#include "recordstore/table.h"
#include "error_text.h"
#include "store_writer.h"
#include "test_support.h"

namespace {

namespace sw = store_writer;
using namespace rec::format;
using testing_support::readFile;
using testing_support::TempDir;

void openTable(rec::TRecTable& table, const std::string& path, const std::string& tableName,
               const std::string& indexName = "") {
  table.setDatabaseName(path);
  table.setPassword("sertu");
  table.setTableName(tableName);
  table.setIndexName(indexName);
  table.open();
}

std::string openError(const std::string& path, const std::string& tableName = "T") {
  return errorOf([&] {
    rec::TRecTable table;
    openTable(table, path, tableName);
  });
}

sw::Table smallTable() {
  sw::Table t;
  t.name = "T";
  t.fields = {{"ID", FieldType::AutoInc}, {"Name", FieldType::String, 10}, {"Memo", FieldType::Memo}};
  t.records = {{sw::i32(1), "one", "first memo"}, {sw::i32(2), "two", ""}};
  t.autoIncCounter = 2;
  return t;
}

sw::Store storeWith(std::vector<sw::Table> tables) {
  sw::Store s;
  s.tables = std::move(tables);
  return s;
}

TEST(StoreOpening, SignatureVersionAndAlgorithmChecks) {
  TempDir dir;
  const std::string path = dir.file("store.fnc");
  EXPECT_EQ(openError(path), "Cannot open file " + path);

  struct Case {
    std::function<void(sw::Store&)> change;
    std::string error;
  } cases[] = {
      {[](sw::Store& s) { s.version = "1.00"; }, "Version 1.00 is not compatible"},
      {[](sw::Store& s) { s.version = "2.1"; }, "Version of database file is too High"},
      {[](sw::Store& s) { s.version = "2.0.1"; }, "Version of database file is too High"},
      {[](sw::Store& s) { s.version = "2.0"; }, ""},
      {[](sw::Store& s) { s.version = "1.50"; }, ""},
      {[](sw::Store& s) { s.version = "2"; }, ""},
      {[](sw::Store& s) { s.compress = true, s.compressName = "LZH"; }, "Compression algorithm module 'LZH' not found"},
      {[](sw::Store& s) { s.compressName = "LZH"; }, ""},  // not compressed: the name is not looked at
      {[](sw::Store& s) { s.compress = true, s.compressName = "zlib"; }, ""},
      {[](sw::Store& s) { s.encrypt = true, s.cipher = "AES", s.password = "sertu"; },
       "Encryption algorithm module 'AES' not found"},
      {[](sw::Store& s) { s.cipher = "AES"; }, ""},
      {[](sw::Store& s) { s.encrypt = true, s.cipher = "twofish", s.mode = 2, s.password = "sertu"; }, ""},
  };
  for (const Case& c : cases) {
    sw::Store store = storeWith({smallTable()});
    c.change(store);
    sw::write(path, store);
    EXPECT_EQ(openError(path), c.error) << store.version << " " << store.compressName << " " << store.cipher;
  }

  std::string bytes = sw::build(storeWith({smallTable()}));
  bytes[4] = 'b';  // "RecDb"
  testing_support::writeFile(path, bytes);
  EXPECT_EQ(openError(path), "Database file '" + path + "' is a invalid RecDB");
}

// A valid store, damaged in one place: the open fails with a clear message
// and nothing crashes or allocates without bound.
TEST(StoreOpening, DamagedFilesAreRefused) {
  const std::string good = sw::build(storeWith({smallTable()}));
  const size_t header = kFixedHeaderSize;  // the only table's header
  const int32_t recTab = sw::loadI32(good, header + kHdrRecTabOffset);
  const int32_t record0 = sw::loadI32(good, size_t(recTab) + recEntryPosition(0));
  const size_t memo0 = size_t(record0) + 4 + 11;  // ID, Name, then Memo's descriptor
  auto set32 = [](std::string& f, size_t at, int32_t v) { platform::storeI32(reinterpret_cast<uint8_t*>(f.data() + at), v); };
  const std::string invalid = "invalid";
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    std::string error;  // "invalid": the invalid-file message
  } cases[] = {
      {"cut inside the version", [](std::string& f) { f.resize(9); }, invalid},  // "2." sorts before "2.0"
      {"cut inside the algorithm block", [](std::string& f) { f.resize(2500); }, invalid},
      {"cut inside the directory", [](std::string& f) { f.resize(3000); }, invalid},
      {"cut inside the table header", [&](std::string& f) { f.resize(header + 100); }, invalid},
      {"cut inside the record table", [&](std::string& f) { f.resize(size_t(recTab) + 20); }, invalid},
      {"cut inside the first record", [&](std::string& f) { f.resize(size_t(record0) + 3); }, invalid},
      {"table count 257", [&](std::string& f) { set32(f, kDirectoryOffset + kDirTableCount, 257); }, invalid},
      {"table count -1", [&](std::string& f) { set32(f, kDirectoryOffset + kDirTableCount, -1); }, invalid},
      {"table offset past the end", [&](std::string& f) { set32(f, kDirectoryOffset + kDirTableOffsets, 1 << 30); }, invalid},
      {"negative table offset", [&](std::string& f) { set32(f, kDirectoryOffset + kDirTableOffsets, -5); }, invalid},
      {"field count 97", [&](std::string& f) { set32(f, header + kHdrFieldCount, 97); }, invalid},
      {"field count 0", [&](std::string& f) { set32(f, header + kHdrFieldCount, 0); }, invalid},
      {"index count 9", [&](std::string& f) { set32(f, header + kHdrIndexCount, 9); }, invalid},
      {"unknown field type", [&](std::string& f) { f[header + kHdrFieldDefs + kFdType] = 8; }, "General error"},
      {"negative text size", [&](std::string& f) { set32(f, header + kHdrFieldDefs + kFieldDefSize + kFdSize, -3); },
       "General error"},
      {"huge text size", [&](std::string& f) { set32(f, header + kHdrFieldDefs + kFieldDefSize + kFdSize, 1 << 30); },
       invalid},
      {"record count past the blocks", [&](std::string& f) { set32(f, header + kHdrRecTabCount, 1000000); }, invalid},
      {"negative record count", [&](std::string& f) { set32(f, header + kHdrRecTabCount, -1); }, invalid},
      {"record table past the end", [&](std::string& f) { set32(f, header + kHdrRecTabOffset, 1 << 30); }, invalid},
      {"record-table blocks in a loop",
       [&](std::string& f) {
         set32(f, header + kHdrRecTabCount, 5000);
         set32(f, size_t(recTab) + kBlockNext, recTab);
       },
       invalid},
      {"record past the end", [&](std::string& f) { set32(f, size_t(recTab) + recEntryPosition(0), 1 << 30); }, invalid},
      {"BLOB past the end", [&](std::string& f) { set32(f, memo0 + kBlobOffset, 1 << 30); }, invalid},
      {"BLOB of negative length", [&](std::string& f) { set32(f, memo0 + kBlobLength, -8); }, invalid},
      {"BLOB longer than the file", [&](std::string& f) { set32(f, memo0 + kBlobLength, 0x7FFFFFFF); }, invalid},
  };
  TempDir dir;
  const std::string path = dir.file("damaged.fnc");
  for (const Case& c : cases) {
    std::string bytes = good;
    c.damage(bytes);
    testing_support::writeFile(path, bytes);
    std::string expected = c.error == invalid ? "Database file '" + path + "' is a invalid RecDB" : c.error;
    EXPECT_EQ(errorOf([&] {
                rec::TRecTable table;
                openTable(table, path, "T");
                table.fieldValue("Memo");  // BLOBs are read when asked for
              }),
              expected)
        << c.what;
  }
}

// Random damage anywhere in the structures of a file with indexes, BLOBs
// and encryption: every outcome is a value or a store error, never a crash
// (the sanitizers watch the reads).
TEST(StoreOpening, RandomDamageEndsInAnErrorOrAValue) {
  sw::Table t = smallTable();
  t.records.push_back({sw::i32(3), "three", std::string(300, 'z')});
  t.deleted = {1};
  t.indexes = {{"PK", kIndexPrimary | kIndexUnique, {0}, {0, 1, 2}}, {"ByName", kIndexCaseInsensitive, {1}, {0, 2, 1}}};
  sw::Store store = storeWith({t});
  store.encrypt = true;
  store.compress = true;
  store.password = "sertu";
  const std::string good = sw::build(store);
  TempDir dir;
  const std::string path = dir.file("fuzz.fnc");
  std::mt19937 random(1234);
  for (int round = 0; round < 400; ++round) {
    std::string bytes = good;
    const int flips = 1 + int(random() % 4);
    for (int i = 0; i < flips; ++i) {
      // Mostly the structures (algorithm block, directory, table header,
      // record table), sometimes anywhere.
      size_t at = random() % 2 ? kAlgorithmBlockOffset + random() % (kTableHeaderSize + 1100)
                               : size_t(random() % bytes.size());
      at = std::min(at, bytes.size() - 1);
      bytes[at] = char(random() % 3 == 0 ? 0xFF : random());
    }
    if (random() % 10 == 0) bytes.resize(random() % bytes.size());
    testing_support::writeFile(path, bytes);
    try {
      rec::TRecTable table;
      openTable(table, path, "T", random() % 2 ? "ByName" : "");
      for (table.first(); !table.eof(); table.next())
        for (int f = 0; f < table.fieldCount(); ++f) table.field(f).value();
      table.edit();
      table.setFieldValue("Memo", std::string(100, 'q'));
      table.post();
    } catch (const platform::Exception&) {
    }
  }
}

// Index definitions that point outside the table, and chains that loop.
TEST(StoreOpening, DamagedIndexesAreRefusedOrCutShort) {
  sw::Table t = smallTable();
  t.indexes = {{"ByName", kIndexUnique, {1}, {0, 1}}};
  const std::string good = sw::build(storeWith({t}));
  const size_t index0 = kFixedHeaderSize + kHdrIndexDefs;
  const int32_t idxTab = sw::loadI32(good, index0 + kIdTabOffset);
  TempDir dir;
  const std::string path = dir.file("index.fnc");

  std::string bytes = good;
  platform::storeI32(reinterpret_cast<uint8_t*>(bytes.data() + index0 + kIdFields), 50);
  testing_support::writeFile(path, bytes);
  EXPECT_EQ(openError(path), "Database file '" + path + "' is a invalid RecDB");

  // Record 1 links back to record 0: the walk stops after as many steps as
  // the table has records.
  bytes = good;
  platform::storeI32(reinterpret_cast<uint8_t*>(bytes.data() + idxTab + idxEntryPosition(1) + kIdxEntryNext), 0);
  testing_support::writeFile(path, bytes);
  rec::TRecTable table;
  openTable(table, path, "T", "ByName");
  EXPECT_EQ(table.recordCount(), 2);
}

// Builds a table of `count` records by appending them through the dataset.
void appendRows(rec::TRecTable& table, int from, int count) {
  for (int i = from; i < from + count; ++i) {
    table.append();
    table.setFieldValue("Name", "row " + std::to_string(i));
    table.post();
  }
}

TEST(StoreRecords, TheRecord1025StartsASecondRecordTableBlock) {
  TempDir dir;
  const std::string path = dir.file("many.fnc");
  sw::Table t = smallTable();
  t.records.clear();
  t.autoIncCounter = 0;
  sw::write(path, storeWith({t}));
  {
    rec::TRecTable table;
    openTable(table, path, "T");
    appendRows(table, 0, 1024);
    const std::string file = readFile(path);
    const int32_t first = sw::loadI32(file, kFixedHeaderSize + kHdrRecTabOffset);
    EXPECT_EQ(sw::loadI32(file, size_t(first) + kBlockNext), 0);
    appendRows(table, 1024, 1);
    EXPECT_EQ(table.recordCount(), 1025);
  }
  const std::string file = readFile(path);
  const int32_t first = sw::loadI32(file, kFixedHeaderSize + kHdrRecTabOffset);
  const int32_t second = sw::loadI32(file, size_t(first) + kBlockNext);
  ASSERT_GT(second, first);
  EXPECT_EQ(sw::loadI32(file, size_t(second) + kBlockNext), 0);
  // The new record lies right behind its block, and is entry 0 of it.
  EXPECT_EQ(sw::loadI32(file, size_t(second) + recEntryPosition(1024)), second + int32_t(kRecordTabBlockSize));
  EXPECT_EQ(sw::loadI32(file, kFixedHeaderSize + kHdrRecTabCount), 1025);
  EXPECT_EQ(sw::loadI32(file, kFixedHeaderSize + kHdrAutoIncCounter), 1025);

  rec::TRecTable table;
  openTable(table, path, "T");
  EXPECT_EQ(table.recordCount(), 1025);
  table.last();
  EXPECT_EQ(table.fieldValue("Name").toString(), "row 1024");
  EXPECT_EQ(table.fieldValue("ID").toInteger(), 1025);
  table.prior();
  EXPECT_EQ(table.fieldValue("Name").toString(), "row 1023");
}

TEST(StoreRecords, DeletedRecordsKeepTheirEntriesAndAreSkipped) {
  TempDir dir;
  const std::string path = dir.file("deleted.fnc");
  sw::Table t = smallTable();
  t.records.push_back({sw::i32(3), "three", ""});
  t.records.push_back({sw::i32(4), "four", ""});
  t.deleted = {1};
  t.indexes = {{"PK", kIndexPrimary | kIndexUnique, {0}, {0, 1, 2, 3}}};
  sw::write(path, storeWith({t}));
  {
    rec::TRecTable table;
    openTable(table, path, "T");
    EXPECT_EQ(table.recordCount(), 3);
    EXPECT_EQ(table.fieldValue("Name").toString(), "one");
    table.next();
    EXPECT_EQ(table.fieldValue("Name").toString(), "three");
    table.deleteRecord();
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.fieldValue("Name").toString(), "four");
  }
  const std::string before = sw::build(storeWith({t}));
  const std::string file = readFile(path);
  ASSERT_EQ(file.size(), before.size());  // nothing is reclaimed
  const int32_t recTab = sw::loadI32(file, kFixedHeaderSize + kHdrRecTabOffset);
  for (int r = 0; r < 4; ++r) EXPECT_EQ(file[size_t(recTab) + recEntryPosition(r) + kRecEntryDeleted], r == 1 || r == 2) << r;
  // Only the Deleted byte changed.
  size_t differences = 0;
  for (size_t i = 0; i < file.size(); ++i) differences += file[i] != before[i];
  EXPECT_EQ(differences, 1u);

  rec::TRecTable table;
  openTable(table, path, "T");
  EXPECT_EQ(table.recordCount(), 2);
  table.last();
  EXPECT_EQ(table.fieldValue("Name").toString(), "four");
}

// Reads the Name of every row in the table's order.
std::vector<std::string> names(rec::TRecTable& table) {
  std::vector<std::string> out;
  for (table.first(); !table.eof(); table.next()) out.push_back(table.fieldValue("Name").toString());
  return out;
}

TEST(StoreIndexes, APrimaryIndexOrdersTheRowsWithoutIndexName) {
  TempDir dir;
  const std::string path = dir.file("primary.fnc");
  sw::Table t;
  t.name = "T";
  t.fields = {{"Code", FieldType::Integer}, {"Name", FieldType::String, 10}};
  t.records = {{sw::i32(30), "a"}, {sw::i32(10), "c"}, {sw::i32(20), "b"}};
  t.indexes = {{"ByName", 0, {1}, {0, 2, 1}}, {"PK", kIndexPrimary | kIndexUnique, {0}, {1, 2, 0}}};
  sw::write(path, storeWith({t}));
  using Names = std::vector<std::string>;
  {
    rec::TRecTable table;
    openTable(table, path, "T");
    EXPECT_EQ(names(table), (Names{"c", "b", "a"}));
    // Appends go to their place in every index.
    table.append();
    table.setFieldValue("Code", 15);
    table.setFieldValue("Name", "ab");
    table.post();
    EXPECT_EQ(names(table), (Names{"c", "ab", "b", "a"}));
    table.append();
    table.setFieldValue("Code", 5);
    table.setFieldValue("Name", "z");
    table.post();
    EXPECT_EQ(table.fieldValue("Name").toString(), "z");  // stands on the new row
    EXPECT_EQ(table.recNo(), 1);
    table.append();
    table.setFieldValue("Code", 20);
    EXPECT_EQ(errorOf([&] { table.post(); }), "Invalid unique field value '20'");
    table.cancel();
    EXPECT_EQ(table.recordCount(), 5);
  }
  // The chains in the file give the same orders.
  rec::TRecTable table;
  openTable(table, path, "T");
  EXPECT_EQ(names(table), (Names{"z", "c", "ab", "b", "a"}));
  table.close();
  table.setIndexName("ByName");
  table.open();
  EXPECT_EQ(names(table), (Names{"a", "ab", "b", "c", "z"}));
  table.setIndexName("");  // while open: back to the primary order
  EXPECT_EQ(names(table), (Names{"z", "c", "ab", "b", "a"}));
}

TEST(StoreIndexes, CaseInsensitiveDescendingIndex) {
  TempDir dir;
  const std::string path = dir.file("desc.fnc");
  sw::Table t;
  t.name = "T";
  t.fields = {{"Name", FieldType::String, 10}};
  t.indexes = {{"Desc", kIndexDescending | kIndexCaseInsensitive, {0}, {}},
               {"Unique", kIndexUnique | kIndexCaseInsensitive, {0}, {}}};
  sw::write(path, storeWith({t}));
  {
    rec::TRecTable table;
    openTable(table, path, "T", "desc");
    for (const char* name : {"b", "A", "d", "C"}) {
      table.append();
      table.setFieldValue("Name", name);
      table.post();
    }
    EXPECT_EQ(names(table), (std::vector<std::string>{"d", "C", "b", "A"}));
    table.append();
    table.setFieldValue("Name", "c");
    EXPECT_EQ(errorOf([&] { table.post(); }), "Invalid unique field value 'c'");
    table.cancel();
    // A rewrite that changes the key moves the row in both orders.
    table.first();
    table.edit();
    table.setFieldValue("Name", "a0");
    table.post();
    EXPECT_EQ(names(table), (std::vector<std::string>{"C", "b", "a0", "A"}));
  }
  rec::TRecTable table;
  openTable(table, path, "T", "Desc");
  EXPECT_EQ(names(table), (std::vector<std::string>{"C", "b", "a0", "A"}));
  table.close();
  table.setIndexName("Unique");
  table.open();
  EXPECT_EQ(names(table), (std::vector<std::string>{"A", "a0", "b", "C"}));
}

// The BLOB descriptor of field `field` of the record at `recordAt`.
BlobDescriptor descriptorAt(const std::string& path, int32_t recordAt, size_t fieldOffset) {
  const std::string file = readFile(path);
  return decodeBlobDescriptor(reinterpret_cast<const uint8_t*>(file.data()) + recordAt + fieldOffset);
}

TEST(StoreBlobs, CapacityAndRewriteRules) {
  TempDir dir;
  const std::string path = dir.file("blobs.fnc");
  sw::Table t = smallTable();
  t.records.clear();
  sw::write(path, storeWith({t}));  // neither compressed nor encrypted: stored length = value length
  const size_t memoAt = 4 + 11;
  rec::TRecTable table;
  openTable(table, path, "T");
  table.append();
  table.setFieldValue("Memo", std::string(64, 'm'));
  table.post();
  const int32_t recordAt = table.database()->table(0).list(0).front().offset;
  BlobDescriptor blob = descriptorAt(path, recordAt, memoAt);
  EXPECT_EQ(blob.length, 64);
  EXPECT_EQ(blob.capacity, 128);
  EXPECT_EQ(blob.offset, recordAt + 35);  // right behind the record
  const uint64_t size = readFile(path).size();
  EXPECT_EQ(size, uint64_t(blob.offset + 128));

  struct Step {
    size_t length;
    bool appendOtherFirst;  // another record first, so that the BLOB no longer ends the file
    bool moves;             // to the end of the file
    int32_t capacity;
  } steps[] = {
      {100, false, false, 128},  // fits: stays
      {10, false, false, 128},   // shrinks: stays, keeps its block
      {200, true, true, 256},    // no longer fits and does not end the file: moves
      {300, false, false, 320},  // ends the file: grows where it is
  };
  for (const Step& step : steps) {
    if (step.appendOtherFirst) {
      table.append();
      table.post();
      table.first();
    }
    const BlobDescriptor old = descriptorAt(path, recordAt, memoAt);
    const uint64_t sizeBefore = readFile(path).size();
    table.edit();
    table.setFieldValue("Memo", std::string(step.length, 'n'));
    table.post();
    blob = descriptorAt(path, recordAt, memoAt);
    EXPECT_EQ(blob.length, int32_t(step.length));
    EXPECT_EQ(blob.capacity, step.capacity);
    EXPECT_EQ(blob.offset, step.moves ? int32_t(sizeBefore) : old.offset) << step.length;
    EXPECT_EQ(table.database()->table(0).list(0).front().offset, recordAt);  // the record never moves
  }
  table.close();
  openTable(table, path, "T");
  EXPECT_EQ(table.fieldValue("Memo").toString(), std::string(300, 'n'));
}

TEST(StoreRecords, TextsAreCutToTheirSizeAndZeroPadded) {
  TempDir dir;
  const std::string path = dir.file("texts.fnc");
  sw::Table t = smallTable();
  t.records.clear();
  sw::write(path, storeWith({t}));
  rec::TRecTable table;
  openTable(table, path, "T");
  table.append();
  table.setFieldValue("Name", "0123456789ABC");
  EXPECT_EQ(table.fieldValue("Name").toString(), "0123456789");
  table.post();
  table.append();
  table.setFieldValue("Name", "Pro");
  table.post();
  const std::string file = readFile(path);
  const auto& rows = table.database()->table(0).list(0);
  EXPECT_EQ(file.substr(size_t(rows[0].offset) + 4, 11), std::string("0123456789\0", 11));
  EXPECT_EQ(file.substr(size_t(rows[1].offset) + 4, 11), std::string("Pro\0\0\0\0\0\0\0\0", 11));
}

TEST(StoreRecords, AutoIncrementValues) {
  TempDir dir;
  const std::string path = dir.file("autoinc.fnc");
  sw::write(path, storeWith({smallTable()}));  // counter 2
  rec::TRecTable table;
  openTable(table, path, "T");
  auto counter = [&] { return sw::loadI32(readFile(path), kFixedHeaderSize + kHdrAutoIncCounter); };
  table.append();
  table.post();
  EXPECT_EQ(table.fieldValue("ID").toInteger(), 3);
  EXPECT_EQ(counter(), 3);
  table.append();
  table.setFieldValue("ID", 10);  // a larger explicit value raises the counter
  table.post();
  EXPECT_EQ(counter(), 10);
  table.append();
  table.setFieldValue("ID", 4);  // a smaller one does not
  table.post();
  EXPECT_EQ(counter(), 10);
  table.append();
  table.post();
  EXPECT_EQ(table.fieldValue("ID").toInteger(), 11);
  // A rewrite keeps a zero value out of the record and raises the counter.
  table.first();
  table.edit();
  table.setFieldValue("ID", 0);
  table.post();
  EXPECT_EQ(table.fieldValue("ID").toInteger(), 1);
  table.edit();
  table.setFieldValue("ID", 20);
  table.post();
  EXPECT_EQ(counter(), 20);
}

TEST(StoreRecords, ReadOnlyDatabasesRefuseChanges) {
  TempDir dir;
  const std::string path = dir.file("readonly.fnc");
  sw::write(path, storeWith({smallTable()}));
  const std::string before = readFile(path);
  ASSERT_TRUE(platform::setFileAttributes(path, platform::faReadOnly));
  {
    rec::TRecTable table;
    openTable(table, path, "T");
    table.edit();
    table.setFieldValue("Name", "changed");
    EXPECT_EQ(errorOf([&] { table.post(); }), "Cannot modify a read-only database");
    EXPECT_EQ(table.state(), dataset::DataSetState::Edit);
    table.cancel();
    table.append();
    EXPECT_EQ(errorOf([&] { table.post(); }), "Cannot modify a read-only database");
    table.cancel();
  }
  ASSERT_TRUE(platform::setFileAttributes(path, 0));
  {
    // A read-only database object refuses in the same way.
    rec::TRecDatabase database(rec::defaultSession());
    database.setDatabaseName(path);
    database.setReadOnly(true);
    rec::TRecTable table;
    openTable(table, path, "T");
    table.edit();
    table.setFieldValue("Name", "changed");
    EXPECT_EQ(errorOf([&] { table.post(); }), "Cannot modify a read-only database");
    table.cancel();
  }
  {
    // A read-only table refuses with the dataset's own message.
    rec::TRecTable table;
    table.setReadOnly(true);
    openTable(table, path, "T");
    EXPECT_EQ(errorOf([&] { table.edit(); }), "Cannot modify a read-only dataset");
  }
  EXPECT_EQ(readFile(path), before);
}

// The installation's product record: encrypted and compressed, an
// auto-increment key with a primary index, a memo, and the edit the update
// makes at its end.
TEST(StoreRecords, EncryptedProductRecordWithABlob) {
  std::string licence;
  for (int i = 0; i < 8; ++i) licence += "Licence Vendrix Pro - usage professionnel, poste " + std::to_string(i) + "\r\n";
  sw::Table config;
  config.name = "Config";
  config.fields = {{"ID", FieldType::AutoInc},       {"Product_Name", FieldType::String, 30}, {"Product_Type", FieldType::String, 10},
                   {"Version", FieldType::String, 10}, {"Build", FieldType::String, 20},      {"Release", FieldType::String, 10},
                   {"Copyright", FieldType::String, 60}, {"Install_Date", FieldType::Date},   {"Max_Users", FieldType::Smallint},
                   {"Activated", FieldType::Boolean},  {"Licence_Info", FieldType::Memo}};
  config.records = {{sw::i32(1), "Vendrix", "Pro", "5.6", "(Build 3)", "14/06/2020", "Copyright (C) 2012-2020 KESTRAVO",
                     sw::i32(737682), sw::i16(5), sw::u16(0xFFFF), licence}};
  config.indexes = {{"PK_Config", kIndexPrimary | kIndexUnique, {0}, {0}}};
  config.autoIncCounter = 1;
  sw::Table modules;
  modules.name = "Modules";
  modules.fields = {{"ID", FieldType::AutoInc}, {"Module", FieldType::String, 30}};
  modules.records = {{sw::i32(1), "Ventes"}, {sw::i32(2), "Caisse"}, {sw::i32(3), "Stock"}};
  modules.deleted = {1};
  sw::Store store = storeWith({modules, config});
  store.encrypt = true;
  store.compress = true;
  store.cipher = "Blowfish";
  store.mode = 1;
  store.password = "sertu";
  store.verifyBlobWrites = true;

  TempDir dir;
  const std::string path = dir.file("dor.fnc");
  sw::write(path, store);
  const uint64_t size = readFile(path).size();
  {
    rec::TRecTable table;
    openTable(table, path, "Config");
    EXPECT_EQ(table.fieldValue("Version").toString(), "5.6");
    EXPECT_EQ(rec::dateToDayNumber(table.fieldValue("Install_Date").toDateTime()), 737682);
    EXPECT_EQ(table.fieldValue("Max_Users").toInteger(), 5);
    EXPECT_TRUE(table.fieldValue("Activated").toBoolean());
    table.edit();
    table.setFieldValue("Product_Type", "Pro");
    table.setFieldValue("Version", "5.8");
    table.setFieldValue("Build", "(Build 1)");
    table.setFieldValue("Release", "05/11/2021");
    table.setFieldValue("Copyright", "Copyright (C) 2012-2021 KESTRAVO");
    table.post();
  }
  EXPECT_EQ(readFile(path).size(), size);
  rec::TRecTable table;
  openTable(table, path, "Config");
  EXPECT_EQ(table.fieldValue("Version").toString(), "5.8");
  EXPECT_EQ(table.fieldValue("Build").toString(), "(Build 1)");
  EXPECT_EQ(table.fieldValue("Licence_Info").toString(), licence);
  EXPECT_EQ(table.fieldValue("ID").toInteger(), 1);
  table.close();
  openTable(table, path, "Modules");
  EXPECT_EQ(table.recordCount(), 2);
}

// Two processes (here two sessions, each with its own handle) appending to
// one table: each append starts from what the file holds, so neither
// overwrites the other's record.
TEST(StoreRecords, AppendsOfTwoHandlesBothSurvive) {
  TempDir dir;
  const std::string path = dir.file("shared.fnc");
  sw::Table t = smallTable();
  t.indexes = {{"PK", kIndexPrimary | kIndexUnique, {0}, {0, 1}}};
  sw::write(path, storeWith({t}));
  rec::TRecSession one("One"), two("Two");
  rec::TRecTable first(one), second(two);
  openTable(first, path, "T");
  openTable(second, path, "T");
  first.append();
  first.setFieldValue("Name", "from one");
  first.post();
  second.append();
  second.setFieldValue("Name", "from two");
  second.post();
  EXPECT_EQ(second.fieldValue("ID").toInteger(), 4);  // the counter the first handle left
  second.append();
  second.setFieldValue("ID", 3);
  EXPECT_EQ(errorOf([&] { second.post(); }), "Invalid unique field value '3'");
  second.cancel();
  first.close();
  second.close();

  rec::TRecTable table;
  openTable(table, path, "T");
  EXPECT_EQ(names(table), (std::vector<std::string>{"one", "two", "from one", "from two"}));
}

// A store that starts inside a larger file: every offset counts from its start.
TEST(StoreRecords, AStoreAtABaseOffset) {
  TempDir dir;
  const std::string path = dir.file("embedded.bin");
  testing_support::writeFile(path, std::string(1000, 'x') + sw::build(storeWith({smallTable()})));
  rec::TRecFileIO file;
  file.open(path, 1000);
  ASSERT_EQ(file.findTable("t"), 0);
  rec::TRecTableIO table(file, 0);
  table.load();
  ASSERT_EQ(table.list(0).size(), 2u);
  EXPECT_EQ(table.readBlob(0, 2), "first memo");
  std::vector<uint8_t> record = table.readRecord(1);
  record[4] = 'T';
  table.rewriteRecord(1, record, {}, {});
  EXPECT_EQ(table.readRecord(1)[4], 'T');
  EXPECT_EQ(readFile(path).substr(0, 1000), std::string(1000, 'x'));
}

// The table's header damaged while a dataset has it open: a second dataset
// cannot open it, a post fails, and the open dataset still reads its rows.
TEST(StoreRecords, AFailedReloadKeepsOpenTablesReadable) {
  TempDir dir;
  const std::string path = dir.file("reload.fnc");
  sw::write(path, storeWith({smallTable()}));
  rec::TRecTable first;
  openTable(first, path, "T");
  std::string bytes = readFile(path);
  platform::storeI32(reinterpret_cast<uint8_t*>(bytes.data() + kFixedHeaderSize + kHdrFieldCount), 97);
  testing_support::writeFile(path, bytes);

  const std::string invalid = "Database file '" + path + "' is a invalid RecDB";
  rec::TRecTable second;
  second.setDatabaseName(path);
  second.setTableName("T");
  EXPECT_EQ(errorOf([&] { second.open(); }), invalid);
  first.edit();
  first.setFieldValue("Name", "x");
  EXPECT_EQ(errorOf([&] { first.post(); }), invalid);
  first.cancel();
  EXPECT_EQ(names(first), (std::vector<std::string>{"one", "two"}));
}

}  // namespace
