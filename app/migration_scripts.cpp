// The four migration scripts. Texts are Windows-1252: "\xE9" is é, "\xE8"
// è, "\x80" the euro sign (literals are split after an escape so that a
// following letter is not read as a hex digit). Comment lines carry no
// apostrophe, so that no quote opens in them.
#include <string>
#include <vector>

#include "app/flag_bitmap.h"
#include "app/migration_lines.h"
#include "app/migration_texts.h"

namespace app {

const char* const kSupportSiteAddress = "https://support.kestravo.example/";
const char* const kProductSiteAddress = "https://vendrix.kestravo.example/";

namespace {

using Lines = std::vector<std::string>;

void append(Lines& to, const Lines& more) { to.insert(to.end(), more.begin(), more.end()); }

Lines dropAndCreate(const std::string& table, const Lines& elements) {
  Lines lines{"DROP TABLE " + table + " ;", "CREATE TABLE " + table + " ("};
  for (size_t i = 0; i < elements.size(); ++i)
    lines.push_back("  " + elements[i] + (i + 1 < elements.size() ? "," : ""));
  lines.push_back(") ;");
  return lines;
}

// Avoirs_A and Avoirs_V: credit notes on purchases and on sales.
Lines creditNoteTable(const std::string& table, const std::string& partyColumn,
                      const std::string& documentColumn, const std::string& partyIndex) {
  return dropAndCreate(table, {
      "ID_Avoir AUTOINC",
      "Date_ DATE",
      partyColumn + " INTEGER",
      "ID_Reglement INTEGER",
      documentColumn + " INTEGER",
      "Montant_HT FLOAT",
      "Montant_TVA FLOAT",
      "Timbre FLOAT",
      "Remise FLOAT DEFAULT 0",
      "Libelle VARCHAR(30)",
      "ExoTVA LOGICAL",
      "Exo_Libelle VARCHAR(20)",
      "IS_Canceled LOGICAL DEFAULT False",
      "ID_Delivered LOGICAL DEFAULT False",
      "IS_Declared LOGICAL DEFAULT False",
      "User_C INTEGER",
      "User_M INTEGER",
      "Date_C DATE",
      "Heure_C TIME",
      "Date_M DATE",
      "Heure_M TIME",
      "PRIMARY KEY Idx_ID (ID_Avoir)",
      "INDEX " + partyIndex + " (" + partyColumn + ")",
  });
}

// Avoirs_AP and Avoirs_VP: the lines of the credit notes.
Lines creditNoteLineTable(const std::string& table, const std::string& quantity, const std::string& price,
                          const std::string& lineReference, const std::string& documentReference) {
  return dropAndCreate(table, {
      "ID_Ligne_Avoir AUTOINC",
      "ID_Avoir INTEGER",
      "ID_Produit INTEGER",
      quantity + " FLOAT",
      "Quantite_R FLOAT",
      price + " FLOAT",
      "Taux_Remise FLOAT",
      "Remise FLOAT DEFAULT 0",
      lineReference + " INTEGER",
      documentReference + " INTEGER",
      "PRIMARY KEY Idx_ID (ID_Ligne_Avoir)",
      "INDEX Idx_Avoir (ID_Avoir)",
  });
}

std::string buildAction38() {
  Lines l{
      "-- Vendrix Pro 5.7 Build 1",
      "-- Mise \xE0 jour de la structure : 3.7 vers 3.8",
      "",
      "-- Avoirs",
  };
  append(l, creditNoteTable("Avoirs_A", "ID_Fournis", "ID_Achat", "Idx_Fournis"));
  append(l, creditNoteTable("Avoirs_V", "ID_Client", "ID_Vente", "Idx_Client"));
  append(l, creditNoteLineTable("Avoirs_AP", "Quantite_A", "Prix_A", "ID_Ligne_Achat", "ID_Achat"));
  append(l, creditNoteLineTable("Avoirs_VP", "Quantite_V", "Prix_V", "ID_Ligne_Vente", "ID_Vente"));
  l.push_back("");
  l.push_back("-- Commandes");
  append(l, dropAndCreate("Commandes", {
                                           "ID_Cmd AUTOINC",
                                           "Date_ DATE",
                                           "Heure TIME",
                                           "ID_Fournis INTEGER",
                                           "Libelle MEMO",
                                           "Status LOGICAL",
                                           "User_C INTEGER",
                                           "User_M INTEGER",
                                           "Date_C DATE",
                                           "Heure_C TIME",
                                           "Date_M DATE",
                                           "Heure_M TIME",
                                           "PRIMARY KEY Idx_ID (ID_Cmd)",
                                           "INDEX ID_Fournis (ID_Fournis)",
                                       }));
  append(l, dropAndCreate("Commandes_Produit", {
                                                   "ID_Ligne_Cmd AUTOINC",
                                                   "ID_Cmd INTEGER",
                                                   "ID_Produit INTEGER",
                                                   "Quantite FLOAT",
                                                   "PRIMARY KEY Idx_ID (ID_Ligne_Cmd)",
                                                   "INDEX Idx_Cmd (ID_Cmd)",
                                               }));
  append(l, {"", "-- Param\xE8" "tres"});
  append(l, dropAndCreate("Params", {
                                        "ID_Prm INTEGER",
                                        "Param VARCHAR(40)",
                                        "Value1 VARCHAR(100)",
                                        "Value2 FLOAT",
                                        "Value3 LOGICAL",
                                    }));
  append(l, {
                "INSERT INTO Params values (1, 'Seuil Espece Facture', NULL, 100000, True) ;",
                "INSERT INTO Params values (2, 'Taux de Timbre', NULL, 1, True) ;",
                "INSERT INTO Params values (3, 'Valeur Timbre Forfaitaire', NULL, 2500, True) ;",
                "",
                "-- Nouvelles colonnes",
                "ALTER TABLE Produit ADD (SU Float) ;",
                "ALTER TABLE Ventes ADD (Timbre Currency) ;",
                "ALTER TABLE Ventes ADD (HT Currency) ;",
                "ALTER TABLE Ventes ADD (TVA Currency) ;",
                "ALTER TABLE Ventes ADD (Service Currency) ;",
                "ALTER TABLE Achats ADD (Timbre Currency) ;",
                "ALTER TABLE Achats ADD (HT Currency) ;",
                "ALTER TABLE Achats ADD (TVA Currency) ;",
                "ALTER TABLE Achats ADD (Service Currency) ;",
                "ALTER TABLE Achats_Produit ADD (Prix_A_TVA Currency) ;",
                "ALTER TABLE Achats_Produit ADD (Prix_A_TTC Currency) ;",
                "",
                "-- Donn\xE9" "es",
                "UPDATE Config SET DB_Ver = 3.8, App_Ver = 5.7, App_Build = 1 ;",
                "UPDATE Modes_Pay SET Libelle = \"A Terme\" WHERE ID = 0 ;",
                "UPDATE Modes_Pay SET Libelle = \"Esp\xE8" "ce\" WHERE ID = 1 ;",
                "UPDATE Produit SET SU = 1 ;",
                "UPDATE Achats_Produit SET Prix_A_TVA = 0 ;",
                "UPDATE Achats_Produit SET Prix_A_TTC = 0 ;",
            });
  return joinLines(l);
}

std::string buildAction39() {
  return joinLines({
      "-- Vendrix Pro 5.8 Build 1",
      "-- Mise \xE0 jour de la structure : 3.8 vers 3.9",
      "",
      "ALTER TABLE Clients ADD (Infos VARCHAR(120)) ;",
      "UPDATE Modes_Pay SET Libelle = \"A Terme\" WHERE ID = 0 ;",
      "",
      "-- Version",
      "UPDATE Config SET DB_Ver = '3.9';",
      "UPDATE Config SET App_Ver = '5.8';",
      "UPDATE Config SET App_Build = '1';",
  });
}

// The opaque texts of the online update server and of the web database.
constexpr const char* kServerHost = "Kz4Wn8Rb2Tq6Lx";      // 14
constexpr const char* kServerDatabase = "Jm7Hs3Vd9Pc1Fy5Gt2N";  // 19
constexpr const char* kServerUser = "Bq8Ze4Wk6Rn1Lu3Ya7";  // 18
constexpr const char* kServerPassword = "Xv2Mc9Tj5";       // 9
constexpr const char* kWebDatabase = "Rt6Yp1Gh8Sd3Ka9Wm";  // 17
constexpr const char* kWebUser = "Hc5Nx2Qv7Lb4Ze";         // 14
constexpr const char* kWebPassword = "Fw9Ud3Mj6Tp1";       // 12

struct Region {
  const char* country;
  const char* money;
  const char* symbol;
  const char* decimals;
};

std::string buildSsn37() {
  Lines l{
      "-- Vendrix Pro 5.7 Build 1",
      "-- Base des param\xE8" "tres : structure 3.6 vers 3.7",
      "",
      "-- R\xE9" "gions",
      "DROP TABLE Region;",
      "CREATE TABLE Region (",
      "  ID AUTOINC,",
      "  Country VARCHAR(25),",
      "  Money VARCHAR(5),",
      "  Symbol VARCHAR(10),",
      "  'Decimal' CHAR(1),",
      "  Separator CHAR(1),",
      "  Thousend CHAR(1),",
      "  'Group' CHAR(1),",
      "  Flag GRAPHIC",
      ") ;",
  };
  const Region regions[kFlagCount] = {
      {"Alg\xE9" "rie", "DA", "DZD", "2"}, {"Tunisie", "DT", "TND", "3"}, {"Maroque", "DM", "MDH", "2"},
      {"Libye", "DL", "LDN", "2"},        {"France", "\x80", "Euro", "3"}, {"Canada", "CAD", "$ Canadian", "3"},
  };
  for (int i = 0; i < kFlagCount; ++i) {
    const Region& r = regions[i];
    // The base64 text holds one CR LF: the statement spans two lines.
    l.push_back("INSERT INTO Region values (" + std::to_string(i + 1) + ", '" + r.country + "', '" + r.money +
                "', '" + r.symbol + "', '" + r.decimals + "', '.', '3', ' ', MimeToBin('" + flagBase64Text(i) +
                "'));");
  }
  append(l, {
                "",
                "-- Grilles",
                "INSERT INTO Grids values (18, 'Produits', 'Liste_Produits', True, True);",
                "",
                "-- Param\xE8" "tres de l application",
            });
  struct Param {
    int id;
    const char* name;
    const char* value;  // nullptr: NULL
    bool flag;
  };
  const Param params[] = {
      {22, "Clients_Historique", "False", false},
      {23, "Fournisseurs_Historique", "False", false},
      {24, "Produits_Auto_Refresh", "True", true},
      {25, "Achats_Details", "False", false},
      {26, "Achats_Avoirs_Details", "False", false},
      {27, "Achats_Commandes_Details", "False", false},
      {28, "Ventes_Details", "False", false},
      {29, "Ventes_Avoirs_Details", "False", false},
      {30, "Ventes_Proformas_Details", "False", false},
      {31, "Ventes_Offres_Details", "False", false},
      {32, "Ventes_Direct_Print", "False", false},
      {33, "Reglements_Direct_Print", "False", false},
      {34, "Params_Language", "Fr", true},
      {35, "Params_Region", "DZ", true},
      {36, "FTP_Server_URL", nullptr, true},
      {37, "FTP_Server_UN", nullptr, true},
      {38, "FTP_Server_PW", nullptr, true},
      {39, "FTP_Server_Port", "21", true},
      {40, "Web_DB_Server", nullptr, false},
      {41, "Web_DB_DB", nullptr, false},
      {42, "Web_DB_UN", nullptr, false},
      {43, "Web_DB_PW", nullptr, false},
      {44, "Web_DB_Port", nullptr, false},
      {45, "Exit_Auto_Save", "True", true},
      {46, "Application_Notifier", "False", false},
      {47, "Exercice_Change_Accueil", "False", false},
      {48, "Start_Statistics", "False", false},
      {51, "FTP_IS_Root", "True", true},
      {52, "FTP_Path", nullptr, true},
  };
  for (const Param& p : params) {
    l.push_back("INSERT INTO Params values (" + std::to_string(p.id) + ", '" + p.name + "', " +
                (p.value ? "'" + std::string(p.value) + "'" : std::string("NULL")) + ", " +
                (p.flag ? "True" : "False") + ");");
  }
  append(l, {
                "",
                "-- Version",
                "UPDATE ssn_properties SET ssn_ver = '3.7';",
                "",
                "-- Serveur de mise \xE0 jour",
                std::string("UpDate udmaj SET pm1sv = '") + kServerHost + "';",
                "UpDate udmaj SET pm2pt = '3306';",
                std::string("UpDate udmaj SET pm3d = '") + kServerDatabase + "';",
                std::string("UpDate udmaj SET pm4u = '") + kServerUser + "';",
                std::string("UpDate udmaj SET pm5p = '") + kServerPassword + "';",
            });
  return joinLines(l);
}

std::string buildSsn38() {
  const std::string support = kSupportSiteAddress;
  const std::string product = kProductSiteAddress;
  return joinLines({
      "-- Vendrix Pro 5.8 Build 1",
      "-- Base des param\xE8" "tres : structure 3.7 vers 3.8",
      "",
      "ALTER TABLE Params ADD (P_Value3 MEMO) ;",
      "",
      "-- Rapports et site web : nouveaux param\xE8" "tres",
      "INSERT INTO Params values (53, 'Report_Header_Notes', NULL, True, NULL);",
      "INSERT INTO Params values (54, 'Report_Footer_Notes', NULL, True, NULL);",
      "INSERT INTO Params values (55, 'Contrat_URL', '" + support + "contrat.php', True, NULL);",
      "INSERT INTO Params values (56, 'Vendrix_Web_URL', '" + product + "', True, NULL);",
      "INSERT INTO Params values (57, 'Vendrix_Web_Subscribe_URL', '" + product + "signup.php', True, NULL);",
      "INSERT INTO Params values (58, 'Vendrix_Web_Username', NULL, False, NULL);",
      "INSERT INTO Params values (59, 'Vendrix_Web_Password', NULL, False, NULL);",
      "",
      "-- Base de donn\xE9" "es web",
      std::string("UPDATE Params SET P_Value = '") + kServerHost + "' WHERE P_ID = 40;",
      std::string("UPDATE Params SET P_Value = '") + kWebDatabase + "' WHERE P_ID = 41;",
      std::string("UPDATE Params SET P_Value = '") + kWebUser + "' WHERE P_ID = 42;",
      std::string("UPDATE Params SET P_Value = '") + kWebPassword + "' WHERE P_ID = 43;",
      "UPDATE Params SET P_Value = '3306' WHERE P_ID = 44;",
      "",
      "-- Version",
      "UPDATE ssn_properties SET ssn_Ver = '3.8';",
  });
}

}  // namespace

const std::string& action38Script() {
  static const std::string text = buildAction38();
  return text;
}

const std::string& action39Script() {
  static const std::string text = buildAction39();
  return text;
}

const std::string& ssn37Script() {
  static const std::string text = buildSsn37();
  return text;
}

const std::string& ssn38Script() {
  static const std::string text = buildSsn38();
  return text;
}

}  // namespace app
