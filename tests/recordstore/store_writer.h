// Writes store files for tests: the fixed header, tables with their field
// and index definitions, record tables, records with their BLOB blocks and
// index chains, laid out one after the other as a store writes them. Field
// values are given as their plain bytes (the helpers below make them); the
// writer encrypts and compresses them as the store's settings say.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "dataset/field_type.h"

namespace store_writer {

struct Field {
  std::string name;
  dataset::FieldType type = dataset::FieldType::String;
  int32_t size = 0;
  uint8_t dataProcessMode = 0;
};

struct Index {
  std::string name;
  uint8_t options = 0;
  std::vector<int32_t> fields;
  // Record numbers in the index's order, deleted records included; empty
  // for an index without blocks.
  std::vector<int32_t> chain;
};

struct Table {
  std::string name;
  std::vector<Field> fields;
  std::vector<Index> indexes;
  // Per record, per field: the plain bytes of a non-BLOB field (any length
  // up to its size; the rest is zeros), the value of a BLOB field.
  std::vector<std::vector<std::string>> records;
  std::set<int32_t> deleted;
  int32_t autoIncCounter = 0;
};

struct Store {
  std::string version = "2.0";
  bool compress = false;
  std::string compressName = "ZLIB";
  bool encrypt = false;
  std::string cipher = "Blowfish";
  uint8_t mode = 1;
  std::string password;
  bool verifyBlobWrites = false;
  std::vector<Table> tables;
};

// The file's bytes.
std::string build(const Store& store);
void write(const std::string& path, const Store& store);

// Plain field bytes.
std::string text(std::string_view value);
std::string i16(int16_t value);
std::string u16(uint16_t value);
std::string i32(int32_t value);
std::string i64(int64_t value);
std::string f64(double value);

// Reading back what a test checks in a file.
int32_t loadI32(const std::string& file, size_t offset);

}  // namespace store_writer
