// Store files made by another implementation: each opens with the password
// "sertu" and shows the values written into it; the product record edit
// rewrites the record in place with the bytes the other implementation
// writes.
#include <gtest/gtest.h>

#include <climits>

#include "hex.h"
#include "platform/errors.h"
#include "recordstore/field_values.h"
#include "recordstore/table.h"
#include "test_support.h"

namespace {

using dataset::Variant;
using testing_support::TempDir;

struct FixtureFile {
  const char* name;
  size_t size;
  // The stored bytes of the Config record after the edit.
  const char* editedRecordHex;
};

const FixtureFile kFiles[] = {
    {"config_plain.fnc", 26133,
     "56656e6472697800000000000000000000000000000000000000000000000050726f0000000000000000352e3800000000000000"
     "00284275696c6420312900000000000000000000000030352f31312f3230323100436f7079726967687420286329203230313920"
     "4b4553545241564f2e20546f75732064726f6974732072e973657276e9732e0000000000000000000000"},
    {"config_blowfish_m1.fnc", 25109,
     "bece6ab756a556823d61b2be4830826b4db1e7c7d2a6f04c90e8adcea2adefc91d6a48453cd3070aa18eaeaddbe6cb643739273e"
     "63e589b9384a4115ba3118dd16cc1d3b5ef92c4ad30641619fc89a5c12ce98bafd9df1e964cad255951577086540c92fefb2104a"
     "a472631171f51fdb4dfde02ce4cca893e712ef63f9e0903e169618f85ea85e5b0ab7eea83a4618e6a9a6"},
    {"config_twofish_m0.fnc", 25109,
     "4659a10abc6cf89e416fd16dfb50bcbe1533f667fc2dbfe56f27ab199e0a09a6fe8d36669f5800b396d7c3a2da36669f5800b396"
     "d7fcac24e3441e613977057ead106cbb7f1d182e8fa2c6b9cd0757b06a3081a7d79e82ac32456f6705988f9fd258f25442be9d2c"
     "d13b0f16fa5bc506db82670da4cdb5ef33e37b3cc79565ed885304cb141fb42b99af2157c856977e0b6f"},
    {"config_gost_m4.fnc", 25109,
     "b9e3f80bbcd6e2c29693d4e1b27bf18c9693d4e1b27bf18c0000000000000090a4b860a32b3b3c00000022308a50115a20860000"
     "00aa7fc442012378510451861f25f4a3030000000000c3270514b1029d253231003ba79e2a3540ae5d3103de4bc658b4dfec456d"
     "4a283474b7b829df509d27f0d00b59601d1e032194ae675ec1f065008ba15978451437bb630000000000"},
};

constexpr int64_t kConfigRecordOffset = 13766;
constexpr size_t kConfigRecordSize = 146;
const std::string kCopyright = "Copyright (c) 2019 KESTRAVO. Tous droits r\xE9serv\xE9s.";

std::string copyFixture(const TempDir& dir, const char* name) {
  std::string path = dir.file(name);
  testing_support::writeFile(path, testing_support::readFile(testing_support::fixturePath(std::string("recstore/") + name)));
  return path;
}

void openTable(rec::TRecTable& table, const std::string& path, const char* tableName) {
  table.setDatabaseName(path);
  table.setPassword("sertu");
  table.setTableName(tableName);
  table.open();
}

std::string text(rec::TRecTable& table, const char* field) { return table.fieldValue(field).toString(); }

TEST(StoreFixtures, ConfigRecordReads) {
  TempDir dir;
  for (const FixtureFile& file : kFiles) {
    SCOPED_TRACE(file.name);
    rec::TRecTable table;
    openTable(table, copyFixture(dir, file.name), "Config");
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(text(table, "Product_Name"), "Vendrix");
    EXPECT_EQ(text(table, "Product_Type"), "Pro");
    EXPECT_EQ(text(table, "Version"), "5.6");
    EXPECT_EQ(text(table, "Build"), "(Build 3)");
    EXPECT_EQ(text(table, "Release"), "12/03/2019");
    EXPECT_EQ(text(table, "Copyright"), kCopyright);
    EXPECT_EQ(table.fieldByName("Version").size(), 10);
    EXPECT_EQ(table.database()->table(0).list(0).front().offset, kConfigRecordOffset);
  }
}

// Day number and milliseconds of a date-time value.
std::pair<int32_t, int32_t> stamp(const Variant& v) {
  double dt = v.toDateTime();
  return {rec::dateToDayNumber(dt), rec::timeToMilliseconds(dt)};
}

std::string memoOfTwentyLines() {
  std::string memo;
  for (int i = 0; i < 20; ++i)
    memo += "Ligne de facture n\xB0" + std::to_string(i) + " : quantit\xE9 12, prix unitaire 19,99 \x80\r\n";
  return memo;
}

std::string bytesHex(const Variant& v) { return toHex(v.toBytes()); }

TEST(StoreFixtures, EveryFieldTypeReads) {
  TempDir dir;
  for (const FixtureFile& file : kFiles) {
    SCOPED_TRACE(file.name);
    rec::TRecTable table;
    openTable(table, copyFixture(dir, file.name), "Types");
    ASSERT_EQ(table.recordCount(), 3);
    rec::TRecTableIO& io = table.database()->table(1);
    EXPECT_EQ(io.autoIncCounter(), 7);

    // Record 0.
    EXPECT_EQ(table.fieldValue("ID").toInteger(), 1);
    EXPECT_EQ(text(table, "Name"), "\xC9" "lodie \xC7" "a");
    EXPECT_EQ(text(table, "Code"), "EUR");
    EXPECT_EQ(table.fieldValue("Small").toInteger(), -12345);
    EXPECT_EQ(table.fieldValue("Word").toInteger(), 65535);
    EXPECT_TRUE(table.fieldValue("Flag").toBoolean());
    EXPECT_EQ(table.fieldValue("Count").toInteger(), INT32_MIN);
    EXPECT_EQ(stamp(table.fieldValue("Day")), std::make_pair(737130, 0));
    EXPECT_EQ(stamp(table.fieldValue("Clock")).second, 49530250);
    EXPECT_EQ(table.fieldValue("Amount").toDouble(), 1234.5);
    EXPECT_EQ(table.fieldValue("Price").toDouble(), 19.99);
    EXPECT_EQ(stamp(table.fieldValue("Stamp")), std::make_pair(737130, 30600000));
    EXPECT_EQ(table.fieldValue("Big").toInt64(), 1234567890123456789LL);
    EXPECT_EQ(text(table, "Memo"), memoOfTwentyLines());
    EXPECT_EQ(bytesHex(table.fieldValue("Data")),
              "f5b165224a58b791df6af1d8303e61cdc4bb86c3d1c427103c344c4189eb2f1e7bd5d47e446fcec2a3d811736110e5781bc"
              "ccea696762e6116c6e9c92d99bf358c2e0718822ce47ca8c74107e66cb0e4b2b3f4d58d82ca6386d2c96e760e819b85c924c3");
    EXPECT_EQ(text(table, "Plain_Note"), "brut");
    EXPECT_EQ(bytesHex(table.fieldValue("Plain_Blob")), "0001726177");

    table.next();  // Record 1: zeros, empty texts and BLOBs.
    EXPECT_EQ(table.fieldValue("ID").toInteger(), 2);
    EXPECT_EQ(text(table, "Name"), "");
    EXPECT_EQ(table.fieldValue("Small").toInteger(), 32767);
    EXPECT_FALSE(table.fieldValue("Flag").toBoolean());
    EXPECT_EQ(table.fieldValue("Count").toInteger(), INT32_MAX);
    EXPECT_EQ(stamp(table.fieldValue("Day")), std::make_pair(693594, 0));
    EXPECT_EQ(table.fieldValue("Amount").toDouble(), -0.25);
    EXPECT_EQ(stamp(table.fieldValue("Stamp")), std::make_pair(693594, 0));
    EXPECT_EQ(table.fieldValue("Big").toInt64(), -1);
    EXPECT_EQ(text(table, "Memo"), "");
    EXPECT_EQ(bytesHex(table.fieldValue("Data")), "");
    EXPECT_EQ(bytesHex(table.fieldValue("Plain_Blob")), "");

    table.next();  // Record 2: explicit auto-increment value, extremes.
    EXPECT_EQ(table.fieldValue("ID").toInteger(), 7);
    EXPECT_EQ(text(table, "Name"), "Douze lettre");
    EXPECT_EQ(table.fieldValue("Small").toInteger(), -32768);
    EXPECT_TRUE(table.fieldValue("Flag").toBoolean());  // stored as FFFF
    EXPECT_EQ(stamp(table.fieldValue("Day")), std::make_pair(1, 0));
    EXPECT_EQ(stamp(table.fieldValue("Clock")).second, 86399999);
    EXPECT_EQ(table.fieldValue("Amount").toDouble(), 1e300);
    EXPECT_EQ(table.fieldValue("Price").toDouble(), -1234567.89);
    EXPECT_EQ(stamp(table.fieldValue("Stamp")), std::make_pair(767009, 86399999));
    EXPECT_EQ(table.fieldValue("Big").toInt64(), INT64_MIN);
    EXPECT_EQ(text(table, "Memo"), "x");
    EXPECT_EQ(bytesHex(table.fieldValue("Data")), "ff");
    EXPECT_EQ(text(table, "Plain_Note"), "8 chars!");
    EXPECT_EQ(bytesHex(table.fieldValue("Plain_Blob")),
              "73a9bef499bbf4dc7bd2a4f2c8af5bd99f267a0ed3197217dd2bba1537436e5c2441e3d54410492b788768bcff2218cf8f7"
              "373abe8e394daf807e24e58c36740");
    table.next();
    EXPECT_TRUE(table.eof());
  }
}

TEST(StoreFixtures, ProductRecordEditRewritesInPlace) {
  TempDir dir;
  for (const FixtureFile& file : kFiles) {
    SCOPED_TRACE(file.name);
    std::string path = copyFixture(dir, file.name);
    const std::string before = testing_support::readFile(path);
    {
      rec::TRecTable table;
      openTable(table, path, "Config");
      table.edit();
      table.setFieldValue("Product_Type", "Pro");
      table.setFieldValue("Version", "5.8");
      table.setFieldValue("Build", "(Build 1)");
      table.setFieldValue("Release", "05/11/2021");
      table.post();
      table.close();
    }
    const std::string after = testing_support::readFile(path);
    ASSERT_EQ(after.size(), file.size);
    const std::string record = after.substr(kConfigRecordOffset, kConfigRecordSize);
    EXPECT_EQ(toHex(record), file.editedRecordHex);
    // Nothing else in the file changed.
    EXPECT_EQ(after.substr(0, kConfigRecordOffset), before.substr(0, kConfigRecordOffset));
    EXPECT_EQ(after.substr(kConfigRecordOffset + kConfigRecordSize), before.substr(kConfigRecordOffset + kConfigRecordSize));

    // The update also writes its copyright text: only that field's 61 bytes differ.
    {
      rec::TRecTable table;
      openTable(table, path, "config");
      table.edit();
      table.setFieldValue("Copyright", "Copyright (C) 2012-2021 KESTRAVO");
      table.post();
      table.close();
    }
    const std::string third = testing_support::readFile(path);
    ASSERT_EQ(third.size(), file.size);
    for (size_t i = 0; i < third.size(); ++i) {
      if (third[i] != after[i]) {
        ASSERT_TRUE(i >= kConfigRecordOffset + 85 && i < kConfigRecordOffset + 146) << i;
      }
    }

    rec::TRecTable table;
    openTable(table, path, "Config");
    EXPECT_EQ(text(table, "Product_Name"), "Vendrix");
    EXPECT_EQ(text(table, "Product_Type"), "Pro");
    EXPECT_EQ(text(table, "Version"), "5.8");
    EXPECT_EQ(text(table, "Build"), "(Build 1)");
    EXPECT_EQ(text(table, "Release"), "05/11/2021");
    EXPECT_EQ(text(table, "Copyright"), "Copyright (C) 2012-2021 KESTRAVO");
  }
}

TEST(StoreFixtures, PasswordAndTableNameChecks) {
  struct Case {
    const char* file;
    const char* password;
    const char* table;
    const char* error;  // nullptr: it opens
  } cases[] = {
      {"config_blowfish_m1.fnc", "Sertu", "Config", "Access denied"},
      {"config_gost_m4.fnc", "", "Config", "Access denied"},
      {"config_twofish_m0.fnc", "wrong", "Nope", "Access denied"},
      {"config_twofish_m0.fnc", "sertu", "Nope", "Table 'Nope' not found"},
      {"config_plain.fnc", "anything", "Config", nullptr},
      {"config_plain.fnc", "sertu", "CONFIG", nullptr},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.password + " " + c.table);
    rec::TRecTable table;
    table.setDatabaseName(copyFixture(dir, c.file));
    table.setPassword(c.password);  // a wrong password raises nothing here
    table.setTableName(c.table);
    if (c.error) {
      try {
        table.open();
        ADD_FAILURE() << "opened";
      } catch (const platform::EDatabaseError& e) {
        EXPECT_STREQ(e.what(), c.error);
      }
      EXPECT_FALSE(table.active());
    } else {
      table.open();
      EXPECT_EQ(text(table, "Version"), "5.6");
    }
  }
}

}  // namespace
