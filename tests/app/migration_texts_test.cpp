// The migration texts against the tables of statements and data they must
// hold, and their byte form.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/flag_bitmap.h"
#include "app/migration_texts.h"
#include "sql_statements.h"

using app_test::createElements;
using app_test::insertValues;
using app_test::splitStatements;

namespace {

std::vector<std::string> split(const std::string& s, char by) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at; (at = s.find(by, start)) != std::string::npos; start = at + 1) parts.push_back(s.substr(start, at - start));
  parts.push_back(s.substr(start));
  return parts;
}

struct NamedText {
  const char* name;
  const std::string& (*text)();
};

const NamedText kTexts[] = {
    {"Action38", app::action38Script},         {"Action39", app::action39Script},
    {"Ssn37", app::ssn37Script},               {"Ssn38", app::ssn38Script},
    {"SalesTotals", app::salesTotalsQuery},    {"PurchaseTotals", app::purchaseTotalsQuery},
};

}  // namespace

TEST(MigrationTextForm, LinesJoinedByCrLfInWindows1252) {
  for (const NamedText& t : kTexts) {
    SCOPED_TRACE(t.name);
    const std::string& s = t.text();
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\n') {
        ASSERT_TRUE(i > 0 && s[i - 1] == '\r') << "bare LF at " << i;
      }
      if (s[i] == '\r') {
        ASSERT_TRUE(i + 1 < s.size() && s[i + 1] == '\n') << "bare CR at " << i;
      }
      // Single-byte text: the only bytes above 7F are these letters and the euro sign.
      const auto b = static_cast<unsigned char>(s[i]);
      if (b >= 0x80) {
        EXPECT_TRUE(b == 0xE0 || b == 0xE8 || b == 0xE9 || b == 0x80) << std::hex << int(b) << " at " << i;
      }
    }
    EXPECT_NE(s.substr(s.size() - 2), "\r\n");
    EXPECT_EQ(s.substr(0, 3), "-- ") << "header comment";
  }
}

TEST(MigrationTextForm, AccentedTextsAreOneBytePerCharacter) {
  EXPECT_NE(app::ssn37Script().find("'Alg\xE9rie'"), std::string::npos);
  EXPECT_NE(app::ssn37Script().find("'\x80'"), std::string::npos);
  EXPECT_NE(app::action38Script().find("\"Esp\xE8" "ce\""), std::string::npos);
  EXPECT_NE(app::salesTotalsQuery().find("= \"Esp\xE8" "ce\""), std::string::npos);
}

// Columns and keys of the tables that the 3.8 script drops and creates.
TEST(Action38Script, CreatesTablesWithTheirColumnsAndKeys) {
  const std::map<std::string, std::string> expected = {
      {"Avoirs_A",
       "ID_Avoir AUTOINC|Date_ DATE|ID_Fournis INTEGER|ID_Reglement INTEGER|ID_Achat INTEGER|Montant_HT FLOAT|"
       "Montant_TVA FLOAT|Timbre FLOAT|Remise FLOAT DEFAULT 0|Libelle VARCHAR(30)|ExoTVA LOGICAL|"
       "Exo_Libelle VARCHAR(20)|IS_Canceled LOGICAL DEFAULT False|ID_Delivered LOGICAL DEFAULT False|"
       "IS_Declared LOGICAL DEFAULT False|User_C INTEGER|User_M INTEGER|Date_C DATE|Heure_C TIME|Date_M DATE|"
       "Heure_M TIME|PRIMARY KEY Idx_ID (ID_Avoir)|INDEX Idx_Fournis (ID_Fournis)"},
      {"Avoirs_V",
       "ID_Avoir AUTOINC|Date_ DATE|ID_Client INTEGER|ID_Reglement INTEGER|ID_Vente INTEGER|Montant_HT FLOAT|"
       "Montant_TVA FLOAT|Timbre FLOAT|Remise FLOAT DEFAULT 0|Libelle VARCHAR(30)|ExoTVA LOGICAL|"
       "Exo_Libelle VARCHAR(20)|IS_Canceled LOGICAL DEFAULT False|ID_Delivered LOGICAL DEFAULT False|"
       "IS_Declared LOGICAL DEFAULT False|User_C INTEGER|User_M INTEGER|Date_C DATE|Heure_C TIME|Date_M DATE|"
       "Heure_M TIME|PRIMARY KEY Idx_ID (ID_Avoir)|INDEX Idx_Client (ID_Client)"},
      {"Avoirs_AP",
       "ID_Ligne_Avoir AUTOINC|ID_Avoir INTEGER|ID_Produit INTEGER|Quantite_A FLOAT|Quantite_R FLOAT|Prix_A FLOAT|"
       "Taux_Remise FLOAT|Remise FLOAT DEFAULT 0|ID_Ligne_Achat INTEGER|ID_Achat INTEGER|"
       "PRIMARY KEY Idx_ID (ID_Ligne_Avoir)|INDEX Idx_Avoir (ID_Avoir)"},
      {"Avoirs_VP",
       "ID_Ligne_Avoir AUTOINC|ID_Avoir INTEGER|ID_Produit INTEGER|Quantite_V FLOAT|Quantite_R FLOAT|Prix_V FLOAT|"
       "Taux_Remise FLOAT|Remise FLOAT DEFAULT 0|ID_Ligne_Vente INTEGER|ID_Vente INTEGER|"
       "PRIMARY KEY Idx_ID (ID_Ligne_Avoir)|INDEX Idx_Avoir (ID_Avoir)"},
      {"Commandes",
       "ID_Cmd AUTOINC|Date_ DATE|Heure TIME|ID_Fournis INTEGER|Libelle MEMO|Status LOGICAL|User_C INTEGER|"
       "User_M INTEGER|Date_C DATE|Heure_C TIME|Date_M DATE|Heure_M TIME|PRIMARY KEY Idx_ID (ID_Cmd)|"
       "INDEX ID_Fournis (ID_Fournis)"},
      {"Commandes_Produit",
       "ID_Ligne_Cmd AUTOINC|ID_Cmd INTEGER|ID_Produit INTEGER|Quantite FLOAT|PRIMARY KEY Idx_ID (ID_Ligne_Cmd)|"
       "INDEX Idx_Cmd (ID_Cmd)"},
      {"Params", "ID_Prm INTEGER|Param VARCHAR(40)|Value1 VARCHAR(100)|Value2 FLOAT|Value3 LOGICAL"},
  };
  const std::vector<std::string> order = {"Avoirs_A",  "Avoirs_V",          "Avoirs_AP", "Avoirs_VP",
                                          "Commandes", "Commandes_Produit", "Params"};
  const std::vector<std::string> statements = splitStatements(app::action38Script());
  ASSERT_GE(statements.size(), 2 * order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE(order[i]);
    EXPECT_EQ(statements[2 * i], "DROP TABLE " + order[i]);
    ASSERT_EQ(statements[2 * i + 1].rfind("CREATE TABLE " + order[i] + " (", 0), 0u) << statements[2 * i + 1];
    EXPECT_EQ(createElements(statements[2 * i + 1]), split(expected.at(order[i]), '|'));
  }
}

TEST(Action38Script, InsertsAltersAndUpdatesInOrder) {
  const std::vector<std::string> statements = splitStatements(app::action38Script());
  ASSERT_EQ(statements.size(), 14u + 3 + 11 + 6);
  const std::vector<std::vector<std::string>> params = {
      {"1", "'Seuil Espece Facture", "NULL", "100000", "True"},
      {"2", "'Taux de Timbre", "NULL", "1", "True"},
      {"3", "'Valeur Timbre Forfaitaire", "NULL", "2500", "True"},
  };
  for (size_t i = 0; i < params.size(); ++i) {
    EXPECT_EQ(statements[14 + i].rfind("INSERT INTO Params values (", 0), 0u);
    EXPECT_EQ(insertValues(statements[14 + i]), params[i]);
  }
  const std::vector<std::string> rest = {
      "ALTER TABLE Produit ADD (SU Float)",
      "ALTER TABLE Ventes ADD (Timbre Currency)",
      "ALTER TABLE Ventes ADD (HT Currency)",
      "ALTER TABLE Ventes ADD (TVA Currency)",
      "ALTER TABLE Ventes ADD (Service Currency)",
      "ALTER TABLE Achats ADD (Timbre Currency)",
      "ALTER TABLE Achats ADD (HT Currency)",
      "ALTER TABLE Achats ADD (TVA Currency)",
      "ALTER TABLE Achats ADD (Service Currency)",
      "ALTER TABLE Achats_Produit ADD (Prix_A_TVA Currency)",
      "ALTER TABLE Achats_Produit ADD (Prix_A_TTC Currency)",
      "UPDATE Config SET DB_Ver = 3.8, App_Ver = 5.7, App_Build = 1",
      "UPDATE Modes_Pay SET Libelle = \"A Terme\" WHERE ID = 0",
      "UPDATE Modes_Pay SET Libelle = \"Esp\xE8" "ce\" WHERE ID = 1",
      "UPDATE Produit SET SU = 1",
      "UPDATE Achats_Produit SET Prix_A_TVA = 0",
      "UPDATE Achats_Produit SET Prix_A_TTC = 0",
  };
  EXPECT_EQ(std::vector<std::string>(statements.begin() + 17, statements.end()), rest);
}

TEST(Action39Script, Statements) {
  EXPECT_EQ(splitStatements(app::action39Script()), (std::vector<std::string>{
                                                         "ALTER TABLE Clients ADD (Infos VARCHAR(120))",
                                                         "UPDATE Modes_Pay SET Libelle = \"A Terme\" WHERE ID = 0",
                                                         "UPDATE Config SET DB_Ver = '3.9'",
                                                         "UPDATE Config SET App_Ver = '5.8'",
                                                         "UPDATE Config SET App_Build = '1'",
                                                     }));
}

TEST(Ssn37Script, RegionTableAndRows) {
  const std::vector<std::string> statements = splitStatements(app::ssn37Script());
  ASSERT_GE(statements.size(), 8u);
  EXPECT_EQ(statements[0], "DROP TABLE Region");
  EXPECT_EQ(createElements(statements[1]),
            split("ID AUTOINC|Country VARCHAR(25)|Money VARCHAR(5)|Symbol VARCHAR(10)|'Decimal' CHAR(1)|"
                  "Separator CHAR(1)|Thousend CHAR(1)|'Group' CHAR(1)|Flag GRAPHIC",
                  '|'));
  const std::vector<std::vector<std::string>> rows = {
      {"1", "'Alg\xE9rie", "'DA", "'DZD", "'2", "'.", "'3", "' "},
      {"2", "'Tunisie", "'DT", "'TND", "'3", "'.", "'3", "' "},
      {"3", "'Maroque", "'DM", "'MDH", "'2", "'.", "'3", "' "},
      {"4", "'Libye", "'DL", "'LDN", "'2", "'.", "'3", "' "},
      {"5", "'France", "'\x80", "'Euro", "'3", "'.", "'3", "' "},
      {"6", "'Canada", "'CAD", "'$ Canadian", "'3", "'.", "'3", "' "},
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i + 1);
    const std::string& insert = statements[2 + i];
    ASSERT_EQ(insert.rfind("INSERT INTO Region values (", 0), 0u);
    std::vector<std::string> values = insertValues(insert);
    ASSERT_EQ(values.size(), 9u);
    const std::string flag = values.back();
    values.pop_back();
    EXPECT_EQ(values, rows[i]);
    ASSERT_EQ(flag.rfind("MimeToBin('", 0), 0u);
    ASSERT_EQ(flag.substr(flag.size() - 2), "')");
    const std::string base64 = flag.substr(11, flag.size() - 13);
    // 1344 characters, one line break inside the literal.
    EXPECT_EQ(base64.size(), 1346u);
    EXPECT_EQ(std::count(base64.begin(), base64.end(), '\r'), 1);
    EXPECT_NE(base64.find("\r\n"), std::string::npos);
    const std::vector<uint8_t> stored = app_test::mimeToBin(base64);
    ASSERT_EQ(stored.size(), 1007u);
    const std::vector<uint8_t> bitmap = app::flagBitmap(int(i));
    EXPECT_TRUE(std::equal(bitmap.begin(), bitmap.end(), stored.begin()));
    EXPECT_EQ(stored.back(), 0);
  }
}

TEST(Ssn37Script, GridsParamsVersionAndServer) {
  const std::vector<std::string> statements = splitStatements(app::ssn37Script());
  ASSERT_EQ(statements.size(), 2u + 6 + 1 + 29 + 1 + 5);
  EXPECT_EQ(statements[8], "INSERT INTO Grids values (18, 'Produits', 'Liste_Produits', True, True)");

  const std::vector<std::string> params = {
      "22|Clients_Historique|False|False",      "23|Fournisseurs_Historique|False|False",
      "24|Produits_Auto_Refresh|True|True",     "25|Achats_Details|False|False",
      "26|Achats_Avoirs_Details|False|False",   "27|Achats_Commandes_Details|False|False",
      "28|Ventes_Details|False|False",          "29|Ventes_Avoirs_Details|False|False",
      "30|Ventes_Proformas_Details|False|False", "31|Ventes_Offres_Details|False|False",
      "32|Ventes_Direct_Print|False|False",     "33|Reglements_Direct_Print|False|False",
      "34|Params_Language|Fr|True",             "35|Params_Region|DZ|True",
      "36|FTP_Server_URL|NULL|True",            "37|FTP_Server_UN|NULL|True",
      "38|FTP_Server_PW|NULL|True",             "39|FTP_Server_Port|21|True",
      "40|Web_DB_Server|NULL|False",            "41|Web_DB_DB|NULL|False",
      "42|Web_DB_UN|NULL|False",                "43|Web_DB_PW|NULL|False",
      "44|Web_DB_Port|NULL|False",              "45|Exit_Auto_Save|True|True",
      "46|Application_Notifier|False|False",    "47|Exercice_Change_Accueil|False|False",
      "48|Start_Statistics|False|False",        "51|FTP_IS_Root|True|True",
      "52|FTP_Path|NULL|True",
  };
  for (size_t i = 0; i < params.size(); ++i) {
    const std::vector<std::string> row = split(params[i], '|');
    const std::string& insert = statements[9 + i];
    ASSERT_EQ(insert.rfind("INSERT INTO Params values (", 0), 0u) << insert;
    EXPECT_EQ(insertValues(insert), (std::vector<std::string>{row[0], "'" + row[1],
                                                               row[2] == "NULL" ? row[2] : "'" + row[2], row[3]}));
  }
  EXPECT_EQ(statements[38], "UPDATE ssn_properties SET ssn_ver = '3.7'");

  const std::regex server("UpDate udmaj SET (\\w+) = '([^']*)'");
  const std::vector<std::pair<std::string, size_t>> fields = {
      {"pm1sv", 14}, {"pm2pt", 4}, {"pm3d", 19}, {"pm4u", 18}, {"pm5p", 9}};
  for (size_t i = 0; i < fields.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(statements[39 + i], m, server)) << statements[39 + i];
    EXPECT_EQ(m[1], fields[i].first);
    EXPECT_EQ(m[2].length(), long(fields[i].second));
  }
  EXPECT_EQ(statements[40], "UpDate udmaj SET pm2pt = '3306'");
}

TEST(Ssn38Script, StatementsAndData) {
  const std::vector<std::string> s = splitStatements(app::ssn38Script());
  ASSERT_EQ(s.size(), 1u + 7 + 5 + 1);
  EXPECT_EQ(s[0], "ALTER TABLE Params ADD (P_Value3 MEMO)");
  const std::vector<std::vector<std::string>> rows = {
      {"53", "'Report_Header_Notes", "NULL", "True", "NULL"},
      {"54", "'Report_Footer_Notes", "NULL", "True", "NULL"},
      {"55", "'Contrat_URL", "'" + std::string(app::kSupportSiteAddress) + "contrat.php", "True", "NULL"},
      {"56", "'Vendrix_Web_URL", "'" + std::string(app::kProductSiteAddress), "True", "NULL"},
      {"57", "'Vendrix_Web_Subscribe_URL", "'" + std::string(app::kProductSiteAddress) + "signup.php", "True", "NULL"},
      {"58", "'Vendrix_Web_Username", "NULL", "False", "NULL"},
      {"59", "'Vendrix_Web_Password", "NULL", "False", "NULL"},
  };
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(insertValues(s[1 + i]), rows[i]) << s[1 + i];

  const std::regex update("UPDATE Params SET P_Value = '([^']*)' WHERE P_ID = (\\d+)");
  const size_t lengths[] = {14, 17, 14, 12, 4};
  std::smatch m;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(std::regex_match(s[8 + i], m, update)) << s[8 + i];
    EXPECT_EQ(m[2], std::to_string(40 + i));
    EXPECT_EQ(size_t(m[1].length()), lengths[i]);
  }
  EXPECT_EQ(s[12], "UPDATE Params SET P_Value = '3306' WHERE P_ID = 44");
  // P_ID 40 receives the same host text as the update server's pm1sv.
  std::smatch host;
  const std::string ssn37 = app::ssn37Script();
  ASSERT_TRUE(std::regex_search(ssn37, host, std::regex("pm1sv = '([^']*)'")));
  ASSERT_TRUE(std::regex_match(s[8], m, update));
  EXPECT_EQ(m[1], host[1]);
  EXPECT_EQ(s[13], "UPDATE ssn_properties SET ssn_Ver = '3.8'");
}

// The parameter scanner of the query objects reads a colon in a comment as
// a nameless parameter; this script is known to carry two of them.
TEST(Ssn38Script, CommentLinesHoldTwoColons) {
  size_t colons = 0;
  for (const std::string& line : app_test::commentLines(app::ssn38Script())) {
    colons += size_t(std::count(line.begin(), line.end(), ':'));
    EXPECT_EQ(line.find('\''), std::string::npos) << "a quote in a comment: " << line;
  }
  EXPECT_EQ(colons, 2u);
}

namespace {

// Q and R of the totals queries written out for the sales.
const std::string kQ = "(V2.\"Quantite\" * V2.\"Prix_V\")";
const std::string kR = "(1 + (T5.\"TF\" / 100))";
const std::string kQR = "(" + kQ + " * " + kR + ")";

std::vector<std::string> branchesOf(const std::string& query) {
  const std::vector<std::string> statements = splitStatements(query);
  EXPECT_EQ(statements.size(), 1u);
  std::vector<std::string> branches;
  const std::string& text = statements.front();
  size_t start = 0;
  for (size_t at; (at = text.find(" UNION ", start)) != std::string::npos; start = at + 7)
    branches.push_back(text.substr(start, at - start));
  branches.push_back(text.substr(start));
  return branches;
}

}  // namespace

TEST(SalesTotalsQuery, ThreeBranchesWithTheirColumnsAndConditions) {
  const std::vector<std::string> branches = branchesOf(app::salesTotalsQuery());
  ASSERT_EQ(branches.size(), 3u);
  const std::string from =
      "FROM \"Ventes\" V1 LEFT JOIN \"Ventes_Produit\" V2 ON (V1.\"ID_Vente\" = V2.\"ID_Vente\") INNER JOIN "
      "\"Produit\" P4 ON (V2.\"ID_Produit\" = P4.\"ID_Produit\") INNER JOIN \"Taux_Fisc\" T5 ON (P4.\"ID_TF\" = "
      "T5.\"ID_TF\") INNER JOIN \"Clients\" C6 ON (V1.\"ID_Client\" = C6.\"ID_Client\") INNER JOIN "
      "\"Reglement_Clients\" R7 ON (V1.\"ID_Reglement\" = R7.\"ID_Reglement\") LEFT JOIN \"Ventes_Service\" V3 ON "
      "(V1.\"ID_Vente\" = V3.\"ID_Vente\")";
  const std::string groupBy = "GROUP BY V1.\"ID_Vente\", V1.\"Remise\", R7.\"Montant\"";
  const std::string cash = "V1.\"ID_Vente\" = :ID_Vente AND V1.\"Vente_Type\" = \"VF\" AND V1.\"Exo_TVA\" = False AND "
                           "R7.\"Mode\" = \"Esp\xE8" "ce\"";
  std::string other = cash;
  other.replace(other.find("R7.\"Mode\" ="), 11, "R7.\"Mode\" <>");
  const std::string noVat = "V1.\"ID_Vente\" = :ID_Vente AND ((V1.\"Vente_Type\" = \"VF\" AND V1.\"Exo_TVA\" = True) "
                            "OR (V1.\"Vente_Type\" = \"VV\"))";
  const std::string service = "SUM(CASE WHEN V3.\"Cout\" <> 0 THEN COUT ELSE 0.00 END)";
  struct Expected {
    std::string tva, ttc, timbre, montantP, montantOpr, where;
  };
  const Expected expected[3] = {
      {"SUM(" + kQ + " * (T5.\"TF\" / 100))", "SUM(" + kQ + " * " + kR + ")", "SUM(" + kQR + " * 0.01)",
       "SUM(" + kQR + " * (1+0.01))",
       "SUM(CASE WHEN V3.\"Cout\" <> 0 THEN ((" + kQR + " * (1+(0.01))) + V3.\"Cout\") ELSE (" + kQR +
           " * (1+(0.01))) END)",
       cash},
      {"SUM(" + kQ + " * (T5.\"TF\" / 100))", "SUM(" + kQ + " * " + kR + ")", "0", "SUM(" + kQR + ")",
       "SUM(CASE WHEN V3.\"Cout\" <> 0 THEN ((" + kQR + ") + V3.\"Cout\") ELSE (" + kQR + ") END)", other},
      {"0", "SUM(" + kQ + ")", "0", "SUM(" + kQ + ")",
       "SUM(CASE WHEN V3.\"Cout\" <> 0 THEN (" + kQ + " + V3.\"Cout\") ELSE " + kQ + " END)", noVat},
  };
  for (int b = 0; b < 3; ++b) {
    SCOPED_TRACE(b + 1);
    const Expected& e = expected[b];
    const std::string select = "SELECT V1.\"ID_Vente\" AS ID_Vente, SUM(" + kQ + ") AS HT, " + e.tva + " AS TVA, " +
                               e.ttc + " AS TTC, " + e.timbre + " AS Timbre, " + e.montantP + " AS Montant_P, " +
                               service + " AS Montant_S, " + e.montantOpr + " AS Montant_Opr, V1.\"Remise\" AS " +
                               "Remise, R7.\"Montant\" AS Montant, SUM(P4.\"Mesure\" * V2.\"Quantite\") AS Mesure";
    EXPECT_EQ(branches[b], select + " " + from + " WHERE " + e.where + " " + groupBy);
  }
}

TEST(PurchaseTotalsQuery, IsTheSalesQueryWithPurchaseNames) {
  std::string text = splitStatements(app::salesTotalsQuery()).front();
  const std::pair<std::string, std::string> replacements[] = {
      {"\"Ventes\" V1", "\"Achats\" A1"},
      {"V1.", "A1."},
      {"\"Ventes_Produit\" V2", "\"Achats_Produit\" A2"},
      {"V2.", "A2."},
      {"ID_Vente", "ID_Achat"},
      {"Prix_V", "Prix_A"},
      {"Vente_Type", "Achat_Type"},
      {"\"VF\"", "\"AF\""},
      {"\"VV\"", "\"AA\""},
      {"\"Clients\" C6 ON (A1.\"ID_Client\" = C6.\"ID_Client\")",
       "\"Fournisseurs\" F6 ON (A1.\"ID_Fournis\" = F6.\"ID_Fournis\")"},
      {"\"Reglement_Clients\"", "\"Reglement_Fournis\""},
      {"\"Ventes_Service\"", "\"Achats_Service\""},
  };
  for (const auto& [from, to] : replacements) {
    ASSERT_NE(text.find(from), std::string::npos) << from;
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  }
  EXPECT_EQ(splitStatements(app::purchaseTotalsQuery()), std::vector<std::string>{text});
}

TEST(TotalsQueries, ParameterAppearsOncePerBranch) {
  const std::pair<const std::string*, std::string> queries[] = {{&app::salesTotalsQuery(), ":ID_Vente"},
                                                                {&app::purchaseTotalsQuery(), ":ID_Achat"}};
  for (const auto& [text, parameter] : queries) {
    size_t count = 0;
    for (size_t at = 0; (at = text->find(':', at)) != std::string::npos; ++at) {
      EXPECT_EQ(text->compare(at, parameter.size(), parameter), 0) << "stray colon at " << at;
      ++count;
    }
    EXPECT_EQ(count, 3u);
  }
}
