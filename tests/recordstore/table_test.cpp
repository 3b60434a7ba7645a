// The table object's use of databases and sessions, as the installer drives it.
#include <gtest/gtest.h>

#include <functional>

#include "platform/errors.h"
#include "recordstore/login.h"
#include "recordstore/session.h"
#include "recordstore/table.h"
#include "error_text.h"
#include "store_writer.h"
#include "test_support.h"

namespace {

namespace sw = store_writer;
using testing_support::TempDir;

std::string encryptedStore(const TempDir& dir) {
  sw::Table t;
  t.name = "Config";
  t.fields = {{"Version", dataset::FieldType::String, 10}};
  t.records = {{"5.6"}};
  sw::Store s;
  s.encrypt = true;
  s.cipher = "Gost";
  s.mode = 0;
  s.password = "sertu";
  s.tables = {t};
  std::string path = dir.file("dor.fnc");
  sw::write(path, s);
  return path;
}

class ScriptedLogin : public rec::TRecLoginHandler {
 public:
  std::optional<std::string> answer;
  std::vector<std::string> asked;
  std::optional<std::string> askPassword(std::string_view databaseName) override {
    asked.emplace_back(databaseName);
    return answer;
  }
};

struct LoginRegistration {
  explicit LoginRegistration(rec::TRecLoginHandler* handler) { rec::setLoginHandler(handler); }
  ~LoginRegistration() { rec::setLoginHandler(nullptr); }
};

TEST(StoreTable, PasswordStepOpensTheFile) {
  TempDir dir;
  rec::TRecTable table;
  const std::string missing = dir.file("missing.fnc");
  table.setDatabaseName(missing);
  EXPECT_EQ(errorOf([&] { table.setPassword("sertu"); }), "Cannot open file " + missing);
  EXPECT_EQ(rec::defaultSession().findDatabase(missing), nullptr);  // nothing left behind

  const std::string path = encryptedStore(dir);
  table.setDatabaseName(path);
  table.setPassword("wrong");  // raises nothing
  table.setTableName("config");
  EXPECT_EQ(errorOf([&] { table.open(); }), "Access denied");
  EXPECT_FALSE(table.active());
  table.setPassword("sertu");
  table.open();
  EXPECT_EQ(table.fieldValue("Version").toString(), "5.6");
  EXPECT_EQ(errorOf([&] { table.fieldValue("Nope"); }), "Field 'Nope' not found");
}

TEST(StoreTable, NamesAreRefusedWhileOpenAndTheFileNameClearsTheTableName) {
  TempDir dir;
  const std::string path = encryptedStore(dir);
  rec::TRecTable table;
  table.setDatabaseName(path);
  table.setTableName("Config");
  table.setIndexName("X");
  table.setDatabaseName(path);  // the same name still clears both
  EXPECT_EQ(table.tableName(), "");
  EXPECT_EQ(table.indexName(), "");
  table.setPassword("sertu");
  table.setTableName("Config");
  table.open();
  const std::string open = "Cannot perform this operation on an open dataset";
  EXPECT_EQ(errorOf([&] { table.setDatabaseName(path); }), open);
  EXPECT_EQ(errorOf([&] { table.setTableName("Other"); }), open);
  EXPECT_EQ(table.tableName(), "Config");
}

TEST(StoreTable, ClosingForgetsThePassword) {
  TempDir dir;
  const std::string path = encryptedStore(dir);
  ScriptedLogin login;
  LoginRegistration registration(&login);
  rec::TRecTable table;
  table.setDatabaseName(path);
  table.setPassword("sertu");
  table.setTableName("Config");
  table.open();
  ASSERT_NE(rec::defaultSession().findDatabase(path), nullptr);
  table.close();
  // The temporary database went with the last use, and its password with it.
  EXPECT_EQ(rec::defaultSession().findDatabase(path), nullptr);

  login.answer = std::nullopt;  // Cancel
  EXPECT_THROW(table.open(), rec::ELoginCancelled);
  EXPECT_FALSE(table.active());
  ASSERT_EQ(login.asked.size(), 1u);
  EXPECT_EQ(login.asked[0], path);

  login.answer = "bad";  // OK with a wrong password
  EXPECT_EQ(errorOf([&] { table.open(); }), "Access denied");
  login.answer = "sertu";
  table.open();
  EXPECT_EQ(table.fieldValue("Version").toString(), "5.6");
  table.close();

  // Given again, the password opens without a question.
  login.asked.clear();
  table.setPassword("sertu");
  table.open();
  EXPECT_TRUE(login.asked.empty());
}

TEST(StoreTable, WithoutALoginHandlerTheOpenIsDenied) {
  TempDir dir;
  rec::TRecTable table;
  table.setDatabaseName(encryptedStore(dir));
  table.setTableName("Config");
  EXPECT_EQ(errorOf([&] { table.open(); }), "Access denied");
}

TEST(StoreTable, SessionPasswordsAndSharedDatabases) {
  TempDir dir;
  const std::string path = encryptedStore(dir);
  rec::TRecSession session("Other");
  session.addPassword("sertu");
  rec::TRecTable first(session), second(session);
  for (rec::TRecTable* table : {&first, &second}) {
    table->setDatabaseName(path);
    table->setTableName("Config");
    table->open();  // no password given: the session's passwords are tried
  }
  rec::TRecDatabase* database = session.findDatabase(path);
  ASSERT_NE(database, nullptr);
  EXPECT_EQ(database->useCount(), 2);
  EXPECT_EQ(first.database(), second.database());
  first.edit();
  first.setFieldValue("Version", "5.8");
  first.post();
  second.refresh();
  EXPECT_EQ(second.fieldValue("Version").toString(), "5.8");
  first.close();
  EXPECT_EQ(database->useCount(), 1);
  second.close();
  EXPECT_EQ(session.findDatabase(path), nullptr);

  // Closing a database closes the tables open on it.
  first.open();
  second.open();
  session.findDatabase(path)->close();
  EXPECT_FALSE(first.active());
  EXPECT_FALSE(second.active());
}

TEST(StoreTable, AnEmptyTableReadsNullAndEditInserts) {
  TempDir dir;
  sw::Table t;
  t.name = "Config";
  t.fields = {{"Version", dataset::FieldType::String, 10}, {"Users", dataset::FieldType::Integer}};
  sw::Store s;
  s.tables = {t};
  const std::string path = dir.file("empty.fnc");
  sw::write(path, s);
  rec::TRecTable table;
  table.setDatabaseName(path);
  table.setPassword("sertu");
  table.setTableName("Config");
  table.open();
  EXPECT_TRUE(table.fieldValue("Version").isNull());
  table.edit();
  EXPECT_EQ(table.state(), dataset::DataSetState::Insert);
  EXPECT_EQ(table.fieldValue("Users").toInteger(), 0);  // a new record starts zeroed
  table.setFieldValue("Version", "5.8");
  table.post();
  table.close();
  table.setPassword("sertu");
  table.open();
  EXPECT_EQ(table.recordCount(), 1);
  EXPECT_EQ(table.fieldValue("Version").toString(), "5.8");
}

}  // namespace
