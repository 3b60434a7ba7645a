#include "dbengine/storage/data_types.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "value_test_support.h"

namespace {

using namespace vz;
namespace st = storage_type;
namespace dt = declared_type;
using dataset::FieldType;
using values_test::expectVZError;

TEST(TypeNameTable, RowsInOrderWithFirstMatchLookups) {
  const char* names =
      "CHAR FIXEDCHAR STRING VARCHAR VARCHAR2 WIDECHAR FIXEDWIDECHAR WIDESTRING WIDEVARCHAR SMALLINT "
      "SIGNEDINT16 SHORTINT SIGNEDINT8 INTEGER SIGNEDINT32 LARGEINT INT64 SIGNEDINT64 WORD UNSIGNEDINT16 "
      "BYTE UNSIGNEDINT8 CARDINAL UNSIGNEDINT32 AUTOINC AUTOINCSHORTINT AUTOINCSMALLINT AUTOINCINTEGER "
      "AUTOINCLARGEINT AUTOINCBYTE AUTOINCWORD AUTOINCCARDINAL FLOAT FLOAT SINGLE DOUBLE EXTENDED LOGICAL "
      "BOOLEAN BOOL BIT CURRENCY MONEY DATE TIME DATETIME TIMESTAMP BYTES VARBYTES BLOB BLOB BLOB BLOB BLOB "
      "BLOB GRAPHIC MEMO CLOB FORMATTEDMEMO WIDEMEMO WIDECLOB GUID";
  std::istringstream in(names);
  std::vector<std::string> expected;
  for (std::string n; in >> n;) expected.push_back(n);
  ASSERT_EQ(expected.size(), typeNameTable().size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(typeNameTable()[i].name, expected[i]) << i;

  // Storage to declared: the first row wins (INTEGER, not AUTOINC).
  const std::pair<StorageType, DeclaredType> byStorage[] = {
      {st::Integer, dt::Integer}, {st::WideChar, dt::WideChar}, {st::String, dt::String},
      {st::Single, dt::Single},   {st::Float, dt::Float},       {st::Blob, dt::Blob},
      {st::Memo, dt::Memo},       {st::Char, dt::Char},         {st::ShortInt, dt::ShortInt}};
  for (auto [s, d] : byStorage) EXPECT_EQ(declaredTypeOfStorage(s), d) << int(s);

  const std::pair<FieldType, DeclaredType> byKind[] = {
      {FieldType::Smallint, dt::SmallInt}, {FieldType::Word, dt::Word},
      {FieldType::AutoInc, dt::AutoInc},   {FieldType::WideString, dt::WideChar},
      {FieldType::Blob, dt::Blob},         {FieldType::BCD, dt::Float},
      {FieldType::Largeint, dt::LargeInt}, {FieldType::OraClob, dt::Blob},
      {FieldType::TimeStamp, dt::TimeStamp}, {FieldType::FixedChar, dt::Char}};
  for (auto [k, d] : byKind) EXPECT_EQ(declaredTypeOfFieldKind(k), d) << int(k);
  expectVZError([] { declaredTypeOfFieldKind(FieldType::Cursor); }, 30289,
                "Unknown DataType: '22' - Native error: 30289");

  EXPECT_EQ(storageTypeOf(dt::AutoInc), st::Integer);
  EXPECT_EQ(storageTypeOf(dt::Guid), st::Char);
  EXPECT_EQ(fieldKindOf(dt::Float), FieldType::Float);
  EXPECT_EQ(fieldKindOf(dt::Cardinal), FieldType::Largeint);
  EXPECT_EQ(fieldKindOf(dt::WideMemo), FieldType::Blob);

  EXPECT_EQ(declaredTypeByName("varchar2"), dt::String);
  EXPECT_EQ(declaredTypeByName("Bit"), dt::Logical);
  EXPECT_EQ(declaredTypeByName("WIDECLOB"), dt::WideMemo);
  EXPECT_FALSE(declaredTypeByName("NUMBER").has_value());
}

TEST(TypeNameTable, NamesForMessages) {
  const char* storageNames[] = {"Unknown",  "CHAR",   "WIDECHAR", "STRING",   "WIDESTRING", "SHORTINT",
                                "SMALLINT", "INTEGER", "LARGEINT", "BYTE",    "WORD",       "CARDINAL",
                                "SINGLE",   "FLOAT",  "EXTENDED", "DATE",     "TIME",       "DATETIME",
                                "BLOB",     "MEMO",   "WIDEMEMO", "LOGICAL",  "CURRENCY",   "BYTES",
                                "VARBYTES", "Unknown"};
  for (int s = 0; s <= 25; ++s) EXPECT_EQ(storageTypeName(StorageType(s)), storageNames[s]) << s;
  EXPECT_EQ(declaredTypeName(dt::AutoIncWord), "AUTOINCWORD");
  EXPECT_EQ(declaredTypeName(dt::TimeStamp), "TIMESTAMP");
  EXPECT_EQ(declaredTypeName(37), "Unknown");
}

TEST(DataTypes, SizesAndClasses) {
  const std::pair<StorageType, int32_t> sizes[] = {
      {st::Char, 11},    {st::WideChar, 22}, {st::String, 11},  {st::WideString, 22}, {st::ShortInt, 1},
      {st::SmallInt, 2}, {st::Integer, 4},   {st::LargeInt, 8}, {st::Byte, 1},        {st::Word, 2},
      {st::Cardinal, 4}, {st::Single, 4},    {st::Float, 8},    {st::Extended, 10},   {st::Date, 4},
      {st::Time, 4},     {st::DateTime, 8},  {st::Blob, 10},    {st::Memo, 10},       {st::WideMemo, 10},
      {st::Logical, 2},  {st::Currency, 8},  {st::Bytes, 11},   {st::VarBytes, 11}};
  for (auto [s, n] : sizes) EXPECT_EQ(dataSize(s, 10), n) << int(s);
  expectVZError([] { dataSize(0, 1); }, 30050, "Unknown DataType: '0' - Native error: 30050");
  expectVZError([] { dataSize(25, 1); }, 30050);

  EXPECT_EQ(declaredTypeSize(dt::String, 40), 40);
  EXPECT_EQ(declaredTypeSize(dt::VarBytes, 16), 16);
  EXPECT_EQ(declaredTypeSize(dt::Guid, 5), 38);
  EXPECT_EQ(declaredTypeSize(dt::Integer, 5), 0);

  // Each class by its members among all codes.
  auto members = [](bool (*pred)(uint8_t), int last) {
    std::string s;
    for (int c = 0; c <= last + 1; ++c)
      if (pred(uint8_t(c))) s += std::to_string(c) + " ";
    return s;
  };
  EXPECT_EQ(members(isTextType, 24), "1 2 3 4 ");
  EXPECT_EQ(members(isWideTextType, 24), "2 4 ");
  EXPECT_EQ(members(isBlobStorageType, 24), "18 19 20 ");
  EXPECT_EQ(members(isNumericType, 24), "5 6 7 8 9 10 11 12 13 14 22 ");
  EXPECT_EQ(members(isDateTimeType, 24), "15 16 17 ");
  EXPECT_EQ(members(isBlobDeclaredType, 36), "31 32 33 34 35 ");
  EXPECT_EQ(members(isAutoIncDeclaredType, 36), "12 13 14 15 16 17 18 19 ");
  EXPECT_EQ(members(isByteStringDeclaredType, 36), "29 30 ");
  EXPECT_EQ(members(isSizedDeclaredType, 36), "1 2 3 4 29 30 ");
}

// The arithmetic table as written down for the engine, columns 1-17, 19-22;
// "-" where the types do not meet. Rows 18, 23 and 24 meet nothing.
const char* const kCommonRows[] = {
    /* 1*/ "1 2 3 4 1 1 1 1 1 1 1 1 1 1 1 1 1 1 2 1 1",
    /* 2*/ "2 2 2 4 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2",
    /* 3*/ "3 2 3 4 3 3 3 3 3 3 3 3 3 3 3 3 3 3 4 3 3",
    /* 4*/ "4 4 4 4 4 4 4 4 4 4 4 4 4 4 4 4 4 4 4 4 4",
    /* 5*/ "1 2 3 4 5 6 7 8 6 10 11 12 13 14 15 16 17 - - 5 22",
    /* 6*/ "1 2 3 4 6 6 7 8 6 10 11 12 13 14 15 16 17 - - 6 22",
    /* 7*/ "1 2 3 4 7 7 7 8 7 7 8 12 13 14 15 16 17 - - 7 22",
    /* 8*/ "1 2 3 4 8 8 8 8 8 8 8 12 13 14 15 16 17 - - 8 22",
    /* 9*/ "1 2 3 4 6 6 7 8 9 10 11 12 13 14 15 16 17 - - 9 22",
    /*10*/ "1 2 3 4 7 7 7 8 10 10 11 12 13 14 15 16 17 - - 10 22",
    /*11*/ "1 2 3 4 8 8 8 8 11 11 11 12 13 14 15 16 17 - - 11 22",
    /*12*/ "1 2 3 4 12 12 12 12 12 12 12 12 13 14 15 16 17 - - 12 22",
    /*13*/ "1 2 3 4 13 13 13 13 13 13 13 13 13 14 15 16 17 - - 13 22",
    /*14*/ "1 2 3 4 14 14 14 14 14 14 14 14 14 14 15 16 17 - - 14 22",
    /*15*/ "1 2 3 4 15 15 15 15 15 15 15 15 15 15 15 17 17 - - - -",
    /*16*/ "1 2 3 4 16 16 16 16 16 16 16 16 16 16 17 16 17 - - - -",
    /*17*/ "1 2 3 4 17 17 17 17 17 17 17 17 17 17 17 17 17 - - - -",
    /*19*/ "1 2 3 4 - - - - - - - - - - - - - 1 2 - -",
    /*20*/ "2 2 4 4 - - - - - - - - - - - - - 2 2 - -",
    /*21*/ "1 2 3 4 5 6 7 8 9 10 11 12 13 14 - - - - - 21 -",
    /*22*/ "1 2 3 4 22 22 22 22 22 22 22 12 13 14 - - - - - - 22",
};

std::vector<std::vector<int>> expectedCommon() {
  const int columns[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20, 21, 22};
  const int rows[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20, 21, 22};
  std::vector<std::vector<int>> table(25, std::vector<int>(25, 0));
  for (int r = 0; r < 21; ++r) {
    std::istringstream in(kCommonRows[r]);
    for (int c = 0; c < 21; ++c) {
      std::string cell;
      in >> cell;
      table[rows[r]][columns[c]] = cell == "-" ? 0 : std::stoi(cell);
    }
  }
  return table;
}

TEST(CommonType, EveryPairForArithmeticAndComparison) {
  const auto table = expectedCommon();
  for (int l = 0; l <= 24; ++l) {
    for (int r = 0; r <= 24; ++r) {
      EXPECT_EQ(commonType(StorageType(l), StorageType(r)), table[l][r]) << l << " with " << r;
      // Comparison differs only where a text meets a date or time.
      int compared = table[l][r];
      if (isTextType(StorageType(l)) && isDateTimeType(StorageType(r))) compared = r;
      if (isDateTimeType(StorageType(l)) && isTextType(StorageType(r))) compared = l;
      EXPECT_EQ(commonType(StorageType(l), StorageType(r), CommonTypeUse::Comparison), compared)
          << l << " with " << r;
    }
  }
}

TEST(CommonType, DeclaredTypesKeepTheOperandThatIsStoredAsTheCommonType) {
  struct Case {
    DeclaredType left, right, expected;
  } cases[] = {
      {dt::AutoInc, dt::Integer, dt::AutoInc},      // both stored as INTEGER: the first
      {dt::Integer, dt::AutoInc, dt::Integer},
      {dt::Integer, dt::Float, dt::Float},          // the second
      {dt::ShortInt, dt::Byte, dt::SmallInt},       // neither: the type SMALLINT storage maps to
      {dt::TimeStamp, dt::Date, dt::TimeStamp},
      {dt::Date, dt::Time, dt::DateTime},
      {dt::Blob, dt::Integer, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(commonDeclaredType(c.left, c.right), c.expected) << int(c.left) << " " << int(c.right);
  EXPECT_EQ(commonDeclaredType(dt::String, dt::Date, CommonTypeUse::Comparison), dt::Date);
}

}  // namespace
