// recstore-dump FILE [PASSWORD]
//
// Lists what a store file holds: its settings, then per table its fields,
// indexes and records in record-number order. Without the right password
// the structures of an encrypted file are listed, but no values.
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/locale.h"
#include "recordstore/file_io.h"
#include "recordstore/table_io.h"

namespace {

using namespace rec::format;

std::string typeName(uint8_t type) {
  if (!isKnownFieldType(type)) return "unknown type " + std::to_string(type);
  return std::string(dataset::fieldTypeName(fieldType(type)));
}

// Day 1 is 1 January of the year 1.
std::string dayText(int64_t day) {
  if (day < 1 || day > 3652059) return "(no date: day " + std::to_string(day) + ")";
  int64_t z = day + 305;  // days from 0000-03-01
  int64_t era = z / 146097, doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9, y = yoe + era * 400 + (m <= 2);
  char out[32];
  std::snprintf(out, sizeof out, "%04" PRId64 "-%02" PRId64 "-%02" PRId64, y, m, d);
  return out;
}

std::string timeText(int64_t ms) {
  char out[32];
  std::snprintf(out, sizeof out, "%02" PRId64 ":%02" PRId64 ":%02" PRId64 ".%03" PRId64, ms / 3600000,
                ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
  return out;
}

std::string quoted(const std::string& ansi) {
  std::string out = "\"";
  for (char c : platform::ansiToUtf8(ansi)) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '"') out += "\\\"";
    else out += c;
  }
  return out + "\"";
}

std::string hex(const std::string& bytes, size_t limit) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
    out += digits[uint8_t(bytes[i]) >> 4];
    out += digits[uint8_t(bytes[i]) & 15];
  }
  if (bytes.size() > limit) out += "...";
  return out;
}

std::string valueText(const rec::RecordLayout& layout, size_t f, const uint8_t* record) {
  const uint8_t* p = record + layout.offsets[f];
  char number[64];
  switch (fieldType(layout.fields[f].type)) {
    case FieldType::String:
    case FieldType::FixedChar: return quoted(loadText(p, layout.sizes[f]));
    case FieldType::Smallint: return std::to_string(platform::loadI16(p));
    case FieldType::Word: return std::to_string(platform::loadU16(p));
    case FieldType::Boolean: return platform::loadU16(p) ? "true" : "false";
    case FieldType::Integer:
    case FieldType::AutoInc: return std::to_string(platform::loadI32(p));
    case FieldType::Largeint: return std::to_string(platform::loadI64(p));
    case FieldType::Float:
    case FieldType::Currency: {
      // The shortest text that reads back as the same number.
      auto end = std::to_chars(number, number + sizeof number, platform::loadF64(p)).ptr;
      return std::string(number, end);
    }
    case FieldType::Date: return dayText(platform::loadI32(p));
    case FieldType::Time: return timeText(platform::loadI32(p));
    case FieldType::DateTime: {
      double ms = platform::loadF64(p);
      if (!std::isfinite(ms) || ms < 0 || ms > 4e17) return "(no date-time)";
      int64_t whole = int64_t(ms);
      return dayText(whole / 86400000) + " " + timeText(whole % 86400000);
    }
    default: return "?";
  }
}

void dumpTable(rec::TRecFileIO& file, int number, bool readable) {
  rec::TRecTableIO table(file, number);
  table.load();
  const rec::RecordLayout& layout = table.layout();
  const size_t live = table.list(0).size();
  std::printf("\nTable %d: %s (records: %zu, deleted: %zu, auto-increment counter: %d, record size: %zu)\n", number,
              platform::ansiToUtf8(table.name()).c_str(), live, size_t(table.recTabCount()) - live,
              table.autoIncCounter(), layout.recordSize);
  std::printf("  Fields:\n");
  for (size_t f = 0; f < layout.fields.size(); ++f) {
    const FieldDef& def = layout.fields[f];
    std::string type = typeName(def.type);
    if (isTextType(def.type)) type += "(" + std::to_string(def.size) + ")";
    std::printf("    %2zu  %-20s %-18s offset %zu%s\n", f, platform::ansiToUtf8(def.name).c_str(), type.c_str(),
                layout.offsets[f], def.dataProcessMode ? ", stored as it is" : "");
  }
  for (const IndexDef& index : table.indexes()) {
    std::string key;
    for (int32_t field : index.fields) key += (key.empty() ? "" : ", ") + layout.fields[size_t(field)].name;
    std::printf("  Index %s (%s):%s%s%s%s\n", platform::ansiToUtf8(index.name).c_str(),
                platform::ansiToUtf8(key).c_str(), index.options & kIndexPrimary ? " primary" : "",
                index.options & kIndexUnique ? " unique" : "", index.options & kIndexDescending ? " descending" : "",
                index.options & kIndexCaseInsensitive ? " case-insensitive" : "");
  }
  if (!readable) {
    std::printf("  Records: encrypted (give the password to see them)\n");
    return;
  }
  for (const rec::RowItem& row : table.list(0)) {
    std::vector<uint8_t> record = table.readRecord(row.recno);
    std::printf("  #%d at %d:\n", row.recno, row.offset);
    for (size_t f = 0; f < layout.fields.size(); ++f) {
      std::string value;
      if (layout.isBlob(f)) {
        std::string bytes = table.readBlob(row.recno, f);
        bool memo = dataset::isTextBlobType(fieldType(layout.fields[f].type));
        value = "(" + std::to_string(bytes.size()) + " bytes) " + (memo ? quoted(bytes) : hex(bytes, 64));
      } else {
        value = valueText(layout, f, record.data());
      }
      std::printf("    %-20s %s\n", platform::ansiToUtf8(layout.fields[f].name).c_str(), value.c_str());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: recstore-dump FILE [PASSWORD]\n");
    return 2;
  }
  try {
    rec::TRecFileIO file;
    file.open(argv[1], 0, true, false);
    const AlgorithmBlock& a = file.algorithms();
    bool readable = file.checkPassword(argc == 3 ? platform::utf8ToAnsi(argv[2]) : std::string());
    std::printf("File %s\n", argv[1]);
    std::printf("Compression: %s\n", a.compress ? a.compressAlgoName.c_str() : "none");
    if (a.encrypt)
      std::printf("Encryption: %s, mode %d; password %s\n", a.encryptAlgoName.c_str(), a.encryptMode,
                  readable ? "accepted" : (argc == 3 ? "refused" : "not given"));
    else
      std::printf("Encryption: none\n");
    std::printf("BLOB writes verified: %s\n", a.verifyBlobWrites ? "yes" : "no");
    std::printf("Tables: %d\n", file.tableCount());
    for (int t = 0; t < file.tableCount(); ++t) dumpTable(file, t, readable);
  } catch (const platform::Exception& e) {
    std::fprintf(stderr, "recstore-dump: %s\n", platform::ansiToUtf8(e.message()).c_str());
    return 1;
  }
  return 0;
}
