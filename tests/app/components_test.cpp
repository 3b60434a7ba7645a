#include <gtest/gtest.h>

#include <filesystem>

#include "app/components.h"
#include "app/installed_engines.h"
#include "app/migration_texts.h"
#include "app/unavailable_engines.h"
#include "app/update_procedure.h"
#include "app/verify_command.h"
#include "fake_installation.h"

// The objects are created with the settings the window stores.
TEST(Components, CreatedWithTheirDesignSettings) {
  app_test::FakeWorld world;
  app::Components c = app::Components::create(world.factory());
  ASSERT_EQ(world.connectionSettings.size(), 2u);
  const app::ConnectionSettings& exdb = world.connectionSettings[0];
  EXPECT_EQ(exdb.databaseName, "EXDB");
  EXPECT_EQ(exdb.password, "tirelvash");
  EXPECT_TRUE(exdb.multiUser);
  EXPECT_EQ(exdb.maxConnections, 500);
  EXPECT_FALSE(exdb.exclusive);
  EXPECT_EQ(exdb.sessionName, "Default");
  EXPECT_EQ(world.connectionSettings[1].databaseName, "SSN");
  EXPECT_EQ(world.connectionSettings[1].password, "quont");

  std::vector<std::string> tables;
  for (const auto& t : world.tableSettings) {
    EXPECT_EQ(t.databaseName, "EXDB");
    EXPECT_FALSE(t.readOnly || t.exclusive || t.inMemory);
    tables.push_back(t.tableName);
  }
  EXPECT_EQ(tables, (std::vector<std::string>{"Config", "Ventes", "Achats"}));

  struct Expected {
    const char* name;
    const char* alias;
    const std::string& sql;
    bool totals;
  };
  const Expected queries[] = {
      {"Query_SSN_37", "SSN", app::ssn37Script(), false},
      {"Query_SSN_38", "SSN", app::ssn38Script(), false},
      {"Query_Action_38", "EXDB", app::action38Script(), false},
      {"Query_Action_39", "EXDB", app::action39Script(), false},
      {"Query_Calc_38V", "EXDB", app::salesTotalsQuery(), true},
      {"Query_Calc_38A", "EXDB", app::purchaseTotalsQuery(), true},
  };
  ASSERT_EQ(world.querySettings.size(), std::size(queries));
  for (size_t i = 0; i < std::size(queries); ++i) {
    const app::QuerySettings& q = world.querySettings[i];
    EXPECT_EQ(q.name, queries[i].name);
    EXPECT_EQ(q.databaseName, queries[i].alias);
    EXPECT_EQ(q.sql, queries[i].sql);
    EXPECT_EQ(q.readOnly, queries[i].totals);
    EXPECT_EQ(q.requestLive, queries[i].totals);
    EXPECT_EQ(q.caseInsensitiveFilter, queries[i].totals);
    EXPECT_FALSE(q.inMemory);
  }
}

// Until the database engine is built in, an update on the real store and
// archive reads the product record and then ends at the first database
// operation with a clear message, having changed nothing.
TEST(InstalledEngines, MissingDatabaseEngineEndsTheCommandClearly) {
  app_test::FakeInstallation inst;
  const std::string store = inst.folder + "/dor.fnc";
  std::filesystem::copy_file(testing_support::fixturePath("recstore/config_blowfish_m1.fnc"), store,
                             std::filesystem::copy_options::overwrite_existing);
  const std::string before = testing_support::readFile(store);
  app::Components real = app::Components::create(app::installedEngines());
  try {
    app::UpdateProcedure(inst.window, real, inst.services()).run();
    ADD_FAILURE() << "no error";
  } catch (const app::EngineUnavailable& e) {
    EXPECT_STREQ(e.what(), "The database engine is not part of this build of the program");
  }
  EXPECT_EQ(inst.window.messages.size(), 1u);  // the confirmation
  EXPECT_EQ(inst.window.progress, (std::vector<int>{10}));
  EXPECT_EQ(testing_support::readFile(store), before);
  EXPECT_THROW(real.EXDB_Name->setConnected(true), app::EngineUnavailable);
}
