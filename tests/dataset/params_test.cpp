#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/params.h"
#include "dataset/sql_param_scanner.h"
#include "platform/errors.h"
#include "platform/locale.h"

using dataset::FieldType;
using dataset::Params;
using dataset::scanSqlParameterNames;
using dataset::Variant;
using Names = std::vector<std::string>;

TEST(SqlParameterScanner, FindsColonNamesOutsideQuotesInTextOrder) {
  struct Case {
    const char* sql;
    Names names;
  };
  const Case cases[] = {
      {"SELECT * FROM t WHERE a = :ID_Vente", {"ID_Vente"}},
      {"WHERE (a=:a,:b);UPDATE t SET c=:c+1", {"a", "b", "c"}},
      {"a = :x.y OR b = :p-1 OR c=:q*2 OR d=:r/2 OR e IN (:s|:t)", {"x", "p", "q", "r", "s", "t"}},
      {"a = :first:second", {"first", "second"}},
      {"a = :Esp\xE8" "ce)", {"Esp\xE8" "ce"}},
      // Quoted texts and names hide their colons.
      {"'a:b' \"c:d\" `e:f` 'it''s :x'", {}},
      {"WHERE s = 'http://example.com/contrat.php' AND t = :t", {"t"}},
      // A quote of one kind inside a text quoted by another.
      {"\"it's\" = :a", {"a"}},
      {"'say \"hi\" :no' = :yes", {"yes"}},
      // An unclosed quote hides the rest of the text.
      {"'unterminated :x", {}},
      // Quoted parameter names.
      {"VALUES (:\"my name\", :[x y], :'it''s', :`q`)", {"my name", "x y", "it's", "q"}},
      // Two colons are an escaped colon.
      {"a::b, c = :d", {"d"}},
      {"a ::: b", {""}},
      // A colon with nothing after it gives an empty name.
      {"a : b", {""}},
      {"a :\r\nb", {""}},
      {"a :\nb", {""}},
      {"a :\tb", {""}},
      {"ends with :", {""}},
      {"(:)", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(scanSqlParameterNames(c.sql), c.names) << c.sql;
}

TEST(SqlParameterScanner, ALoneColonBetweenDoubleQuotesIsNoParameter) {
  EXPECT_EQ(scanSqlParameterNames("SELECT a || \":\" || b FROM t"), Names{});
  // Even where the quotes close one text and open the next.
  EXPECT_EQ(scanSqlParameterNames("\"abc\":\"def\""), Names{});
  // Without the protection this would name the parameter def.
  EXPECT_EQ(scanSqlParameterNames("\"abc\": \"def\""), Names{""});
  EXPECT_EQ(scanSqlParameterNames("\":\" = :p AND \":\""), Names{"p"});
}

TEST(SqlParameterScanner, ColonsInCommentsStartParameters) {
  const std::string script =
      "-- Release 5.8 : structure 3.8 to 3.9\r\n"
      "-- Contract page\r\n"
      "ALTER TABLE Params ADD (P_Value3 MEMO) ;\r\n"
      "INSERT INTO Params values (55, 'Contrat_URL', 'https://support.example.com/contrat.php', True, NULL);\r\n"
      "INSERT INTO Params values (56, \"Web_URL\", \"http://www.example.com\", True, NULL);\r\n"
      "-- Settings:\r\n"
      "UPDATE ssn_properties SET ssn_Ver = '3.8';\r\n"
      "-- at 12:30 the :Name in a comment still counts\r\n";
  EXPECT_EQ(scanSqlParameterNames(script), (Names{"", "", "30", "Name"}));
}

TEST(SqlParameterScanner, TheSameNameThreeTimesGivesThreeParameters) {
  const std::string query =
      "SELECT 1 FROM V WHERE V.\"ID_Vente\" = :ID_Vente AND V.\"T\" = \"VF\"\r\n"
      "UNION SELECT 2 FROM V WHERE V.\"ID_Vente\" = :ID_Vente\r\n"
      "UNION SELECT 3 FROM V WHERE V.\"ID_Vente\" = :ID_Vente AND (V.\"T\" = \"VV\")";
  EXPECT_EQ(scanSqlParameterNames(query), (Names{"ID_Vente", "ID_Vente", "ID_Vente"}));
}

class ParamsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::setUserLocale("en_US"); }
};

TEST_F(ParamsTest, SettingByNameReachesEveryParameterOfThatName) {
  Params params;
  params.parseSql("a = :ID_Vente OR b = :Other OR c = :id_vente OR d = :ID_VENTE");
  ASSERT_EQ(params.count(), 4);
  params.setValues("Id_Vente", Variant(int32_t(42)));
  for (int i : {0, 2, 3}) {
    EXPECT_EQ(params[i].value(), Variant(int32_t(42)));
    EXPECT_EQ(params[i].dataType(), FieldType::Integer);
  }
  EXPECT_TRUE(params[1].isNull());
  EXPECT_FALSE(params[1].bound());
  // By name alone: the first of that name.
  EXPECT_EQ(&params.paramByName("ID_VENTE"), &params[0]);
  EXPECT_EQ(params.findParam("missing"), nullptr);
  try {
    params.paramByName("Missing");
    FAIL();
  } catch (const platform::EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Parameter 'Missing' not found");
  }
  EXPECT_THROW(params.setValues("Missing", Variant(1)), platform::EDatabaseError);
}

TEST_F(ParamsTest, ValuesOfNamesThatRemainAreKeptWhenTheTextChanges) {
  Params params;
  params.parseSql("x = :ID_Achat AND y = :Gone AND z = :Kept");
  params.setValues("ID_Achat", Variant("A-1"));
  params.setValues("Gone", Variant(1.5));
  params.paramByName("Kept").setDataType(FieldType::Largeint);
  params.setValues("Kept", Variant::null());

  params.parseSql("p = :kept OR q = :ID_ACHAT OR r = :New OR s = :id_achat");
  ASSERT_EQ(params.count(), 4);
  EXPECT_EQ(params[0].name(), "kept");
  EXPECT_TRUE(params[0].isNull());
  EXPECT_TRUE(params[0].bound());
  EXPECT_EQ(params[0].dataType(), FieldType::Largeint);
  EXPECT_EQ(params[1].name(), "ID_ACHAT");
  EXPECT_EQ(params[1].value(), Variant("A-1"));
  EXPECT_EQ(params[1].dataType(), FieldType::String);
  EXPECT_FALSE(params[2].bound());
  EXPECT_EQ(params[2].dataType(), FieldType::Unknown);
  EXPECT_EQ(params[3].value(), Variant("A-1"));
  EXPECT_EQ(params.findParam("Gone"), nullptr);
}
