#include <gtest/gtest.h>

#include "app/components.h"
#include "app/totals_recomputation.h"
#include "fake_engines.h"
#include "fake_installation.h"
#include "fake_window.h"

using app_test::FakeWorld;
using app_test::Row;
using dataset::Variant;

namespace {

// One connected database with a Ventes table of the given sale identifiers.
struct SalesFixture {
  explicit SalesFixture(const std::vector<int32_t>& ids) {
    app_test::FakeDatabase db;
    auto& t = db.tables["Ventes"];
    t.columns = {"ID_Vente", "HT", "TVA", "Timbre", "Service"};
    for (int32_t id : ids) t.rows.push_back({{"ID_Vente", Variant(id)}, {"HT", Variant(1.0)}, {"TVA", Variant(1.0)},
                                             {"Timbre", Variant(1.0)}, {"Service", Variant(1.0)}});
    world.databases["y"] = db;
    world.connected["EXDB"] = "y";
    table.open();
  }
  std::vector<Row>& rows() { return world.databases["y"].tables["Ventes"].rows; }
  std::map<int32_t, Row>& results() { return world.databases["y"].queryResults["Query_Calc_38V"]; }
  void run() { app::recomputeTotals(table, query, "ID_Vente", window); }

  FakeWorld world;
  app_test::FakeTable table{world, "EXDB", "Ventes"};
  app_test::FakeQuery query{world, "EXDB", "Query_Calc_38V"};
  app_test::FakeWindow window{world.log};
};

Row totals(double ht, double tva, double timbre, double service) {
  return {{"HT", Variant(ht)}, {"TVA", Variant(tva)}, {"Timbre", Variant(timbre)}, {"Montant_S", Variant(service)}};
}

}  // namespace

TEST(TotalsRecomputation, WritesEachRowsTotalsAndNullsWithoutAResultRow) {
  SalesFixture f({11, 12, 13});
  f.results()[11] = totals(200, 38, 2.38, 0);
  f.results()[13] = totals(50, 0, 0, 1500);
  f.run();
  EXPECT_EQ(app_test::entriesStartingWith(f.world.log, "Query_Calc_38V open"),
            (std::vector<std::string>{"Query_Calc_38V open ID_Vente=11", "Query_Calc_38V open ID_Vente=12",
                                      "Query_Calc_38V open ID_Vente=13"}));
  const auto& rows = f.rows();
  EXPECT_EQ(rows[0].at("HT"), Variant(200.0));
  EXPECT_EQ(rows[0].at("TVA"), Variant(38.0));
  EXPECT_EQ(rows[0].at("Timbre"), Variant(2.38));
  EXPECT_EQ(rows[0].at("Service"), Variant(0.0));
  for (const char* field : {"HT", "TVA", "Timbre", "Service"}) EXPECT_TRUE(rows[1].at(field).isNull()) << field;
  EXPECT_EQ(rows[2].at("Service"), Variant(1500.0));
  EXPECT_EQ(rows[2].at("ID_Vente"), Variant(int32_t(13)));
  // The position after each move: record number 2, 3, then 3 again at the end.
  EXPECT_EQ(f.window.circlePositions, (std::vector<float>{67, 100, 100}));
  EXPECT_EQ(f.window.processed, 3);
  // Each row posted once, by the move off it; no final post left to do.
  EXPECT_EQ(app_test::entriesStartingWith(f.world.log, "Ventes post").size(), 3u);
  EXPECT_EQ(f.table.state(), app::TableState::Browse);
}

TEST(TotalsRecomputation, EmptyTableStoresNothing) {
  SalesFixture f({});
  f.run();
  EXPECT_TRUE(f.rows().empty());
  EXPECT_TRUE(app_test::entriesStartingWith(f.world.log, "Ventes post").empty());
  EXPECT_TRUE(f.window.circlePositions.empty());
  // Editing the empty table started an insert that nothing posts.
  EXPECT_EQ(f.table.state(), app::TableState::Insert);
}

TEST(TotalsRecomputation, RoundsAreTheCountTakenBeforeTheLoop) {
  SalesFixture f({5});
  f.results()[5] = totals(10, 1.9, 0, 0);
  f.run();
  EXPECT_EQ(app_test::entriesStartingWith(f.world.log, "Query_Calc_38V open").size(), 1u);
  EXPECT_EQ(f.window.circlePositions, (std::vector<float>{100}));
  EXPECT_EQ(f.rows()[0].at("HT"), Variant(10.0));
}

TEST(TotalsRecomputation, CirclePositionRoundsHalvesToEven) {
  struct Case {
    int32_t number, count;
    float position;
  };
  const Case cases[] = {
      {1, 8, 12},    // 12.5
      {3, 8, 38},    // 37.5
      {1, 200, 0},   // 0.5
      {3, 200, 2},   // 1.5
      {2, 3, 67},    // 66.67
      {7, 7, 100},
      {0, 0, 0},     // no rows left: nothing to show
  };
  for (const Case& c : cases) EXPECT_EQ(app::circlePosition(c.number, c.count), c.position) << c.number << "/" << c.count;
}
