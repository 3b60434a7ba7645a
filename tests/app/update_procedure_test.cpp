// The Apply command on fake engines over a real installation folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/messages.h"
#include "fake_installation.h"
#include "platform/errors.h"
#include "platform/locale.h"

using app_test::FakeInstallation;
using app_test::YearlyDatabase;
using dataset::Variant;

namespace {

const std::string kSettings =
    " log=\"DB Updated to 3.8 as changing DB Params\" repair=false password=tirelvash cipher=0 page=16224 "
    "extent=64 connections=128";

std::vector<std::string> captions(const app_test::FakeWindow& w) {
  std::vector<std::string> c;
  for (const auto& m : w.messages) c.push_back(m.caption);
  return c;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

std::vector<std::string> configRewrite() { return {"Config open", "Config post", "Config close"}; }

}  // namespace

// A 5.6 installation with two yearly databases (one with two sales and a
// purchase, one empty) receives every migration, step by step.
TEST(UpdateProcedure, FullRunFromVersion56InTheStatedOrder) {
  FakeInstallation inst("5.6", {{"DBEX_2019.FDB", 1048576, {1, 2}, {7}}, {"DBEX_2020.FDB", 2048, {}, {}}});
  const std::string y1 = inst.yearly("DBEX_2019.FDB"), y2 = inst.yearly("DBEX_2020.FDB");
  const std::string w = inst.work(), p = inst.parameters(), s = inst.store();
  app_test::Row totals{{"HT", Variant(200.0)}, {"TVA", Variant(38.0)}, {"Timbre", Variant(2.38)},
                       {"Montant_S", Variant(0.0)}};
  inst.world.databases[y1].queryResults["Query_Calc_38V"][1] = totals;
  inst.world.databases[y1].queryResults["Query_Calc_38A"][7] = totals;

  inst.apply();

  std::vector<std::string> expected = {
      "message " + app::confirmUpdateMessage().caption,
      "DB open " + s,
      "P=10",
      "PC shown",
      "EXDB connect " + y1,
      "Label_Ex 2019 / 1048576",
      "Query_Action_38 ExecSQL " + y1,
      "Ventes open",
      "Achats open",
      "PC ring 0,128,0",
      "Query_Calc_38V open ID_Vente=1",
      "Ventes post",
      "Query_Calc_38V open ID_Vente=2",
      "Ventes post",
      "PC ring 255,0,0",
      "Query_Calc_38A open ID_Achat=7",
      "Achats post",
      "Ventes close",
      "Achats close",
      "EXDB disconnect",
      "EXDB ChangeDatabaseSettings " + y1 + kSettings,
      "EXDB connect " + y1,
      "Query_Action_39 ExecSQL " + y1,
  };
  append(expected, configRewrite());
  append(expected, {
                       "EXDB disconnect",
                       "EXDB connect " + y2,
                       "Label_Ex 2020 / 2048",
                       "Query_Action_38 ExecSQL " + y2,
                       "Ventes open",
                       "Achats open",
                       "PC ring 0,128,0",
                       "PC ring 255,0,0",
                       "Ventes close",
                       "Achats close",
                       "EXDB disconnect",
                       "EXDB ChangeDatabaseSettings " + y2 + kSettings,
                       "EXDB connect " + y2,
                       "Query_Action_39 ExecSQL " + y2,
                   });
  append(expected, configRewrite());
  append(expected, {
                       "EXDB disconnect",
                       "P=27",
                       "PC hidden",
                       "EXDB connect " + w,
                       "P=35",
                       "Query_Action_38 ExecSQL " + w,
                       "EXDB disconnect",
                       "EXDB ChangeDatabaseSettings " + w + kSettings,
                       "EXDB connect " + w,
                       "Query_Action_39 ExecSQL " + w,
                       "P=40",
                   });
  append(expected, configRewrite());
  append(expected, {
                       "EXDB disconnect",
                       "P=44",
                       "SSN connect " + p,
                       "P=59",
                       "Query_SSN_37 ExecSQL " + p,
                       "P=60",
                       "Query_SSN_38 ExecSQL " + p,
                       "SSN disconnect",
                       "P=61",
                       "P=67",
                       "P=73",
                       "P=79",
                       "Archiver open " + inst.package() + " password=vispult",
                       "P=78",
                       "P=84",
                       "Archiver extract *.* 10431 \"\" into " + inst.folder + "\\",
                       "P=91",
                       "Archiver close",
                       "P=97",
                       "DB post",
                       "DB close",
                       "P=100",
                       "DB open " + s,
                       "DB close",
                       "message " + app::updateDoneMessage().caption,
                   });
  EXPECT_EQ(inst.world.log, expected);

  EXPECT_EQ(inst.window.progress,
            (std::vector<int>{10, 27, 35, 40, 44, 59, 60, 61, 67, 73, 79, 78, 84, 91, 97, 100}));
  // Reset, after each sales row, reset for the purchases, after the purchase;
  // the empty year only resets; full at the end.
  EXPECT_EQ(inst.window.circlePositions, (std::vector<float>{0, 100, 100, 0, 100, 0, 100}));
  EXPECT_EQ(inst.window.processed, 3);
  EXPECT_FALSE(inst.window.circleVisible);
  EXPECT_FALSE(inst.window.yearLabelVisible);

  // Totals written into the sales: the sale with a result row, the one
  // without it nulls.
  const auto& sales = inst.world.databases[y1].tables["Ventes"].rows;
  EXPECT_EQ(sales[0].at("HT"), Variant(200.0));
  EXPECT_EQ(sales[0].at("Timbre"), Variant(2.38));
  EXPECT_EQ(sales[0].at("Service"), Variant(0.0));
  EXPECT_TRUE(sales[1].at("TVA").isNull());
  EXPECT_TRUE(inst.world.databases[y2].tables["Ventes"].rows.empty());

  // Config rows, database settings, product record and window.
  for (const std::string& db : {y1, y2, w}) {
    SCOPED_TRACE(db);
    const auto& config = inst.world.databases[db].tables["Config"].rows;
    ASSERT_EQ(config.size(), 1u);
    EXPECT_EQ(config[0].at("App_Type"), Variant("Pro"));
    EXPECT_EQ(config[0].at("App_Ver"), Variant("5.8"));
    EXPECT_EQ(config[0].at("App_Build"), Variant("1"));
    EXPECT_EQ(config[0].at("DB_Ver"), Variant("3.9"));
    EXPECT_EQ(inst.world.databases[db].pageSize, 16224);
  }
  EXPECT_EQ(inst.world.databases[p].pageSize, 4096);
  app_test::Row& record = inst.productRecord();
  EXPECT_EQ(record.at("Product_Type"), Variant("Pro"));
  EXPECT_EQ(record.at("Version"), Variant("5.8"));
  EXPECT_EQ(record.at("Build"), Variant("(Build 1)"));
  EXPECT_EQ(record.at("Release"), Variant("05/11/2021"));
  EXPECT_EQ(record.at("Copyright"), Variant(app::kNewCopyright));
  EXPECT_EQ(record.at("Licence_Key"), Variant("VXP56-8Q4KD-2M7RT-ZC91H-0WB3N"));
  EXPECT_EQ(inst.window.labels[app::ProductLabel::Version], "5.8");
  EXPECT_EQ(inst.window.labels[app::ProductLabel::Build], "(Build 1)");
  EXPECT_FALSE(inst.window.buttonsEnabled);
  EXPECT_EQ(inst.window.messages.back().text, app::updateDoneMessage().text);
  EXPECT_EQ(inst.window.messages.back().style, 0x40);
  // The old program file kept under its backup name.
  EXPECT_FALSE(std::filesystem::exists(inst.folder + "/Vendrix.exe"));
  EXPECT_EQ(testing_support::readFile(inst.folder + "/Vendrix.bak.EXE"), "MZ program 5.6");
}

// Which scripts, recomputations and rebuilds each installed version gets.
TEST(UpdateProcedure, VersionsSelectTheirMigrations) {
  struct Case {
    std::string version;
    bool action38, action39, ssn37, ssn38;
  };
  const Case cases[] = {
      {"5.5", true, true, true, true},
      {"5.6", true, true, true, true},
      {"5.7", false, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    FakeInstallation inst(c.version);
    inst.apply();
    const auto& log = inst.world.log;
    auto count = [&](const std::string& prefix) { return app_test::entriesStartingWith(log, prefix).size(); };
    // Per yearly database and work database.
    EXPECT_EQ(count("Query_Action_38 ExecSQL"), c.action38 ? 2u : 0u);
    EXPECT_EQ(count("EXDB ChangeDatabaseSettings"), c.action38 ? 2u : 0u);
    EXPECT_EQ(count("Query_Calc_38V open"), c.action38 ? 2u : 0u);
    EXPECT_EQ(count("Query_Calc_38A open"), c.action38 ? 1u : 0u);
    EXPECT_EQ(count("Query_Action_39 ExecSQL"), c.action39 ? 2u : 0u);
    EXPECT_EQ(count("Query_SSN_37 ExecSQL"), c.ssn37 ? 1u : 0u);
    EXPECT_EQ(count("Query_SSN_38 ExecSQL"), c.ssn38 ? 1u : 0u);
    // Config rows and the product record are rewritten whatever the version.
    EXPECT_EQ(count("Config post"), 2u);
    EXPECT_EQ(inst.productRecord().at("Version"), Variant("5.8"));
    EXPECT_EQ(captions(inst.window).back(), app::updateDoneMessage().caption);
  }
}

// Refusals: the message, and nothing done beyond what the step states.
TEST(UpdateProcedure, RefusalsChangeNothing) {
  struct Case {
    const char* name;
    std::function<void(FakeInstallation&)> arrange;
    std::vector<std::string> captions;
    std::vector<int> progress;
    bool windowClosed;
  };
  const std::string m3 = app::confirmUpdateMessage().caption;
  auto removeFile = [](const char* relative) {
    return [relative](FakeInstallation& i) { std::filesystem::remove(i.folder + relative); };
  };
  auto setField = [](const char* field, const char* value) {
    return [field, value](FakeInstallation& i) { i.productRecord()[field] = Variant(value); };
  };
  const Case cases[] = {
      {"package missing", [](FakeInstallation& i) { std::filesystem::remove(i.packageFolder + "/vizaruv.fip"); },
       {app::packageMissingMessage().caption}, {}, true},
      {"running, bare name",
       [](FakeInstallation& i) { i.processes = {{1, "systemd"}, {2, "vendrix.EXE"}}; },
       {app::applicationRunningMessage().caption}, {}, false},
      {"running, full path",
       [](FakeInstallation& i) { i.processes = {{7, "C:\\Program Files\\Vendrix\\VENDRIX.EXE"}}; },
       {app::applicationRunningMessage().caption}, {}, false},
      {"confirmation cancelled", [](FakeInstallation& i) { i.window.answers = {app::kAnswerCancel}; }, {m3}, {}, false},
      {"no dor.fnc", removeFile("/dor.fnc"), {m3, app::installationMissingMessage().caption}, {}, false},
      {"no Vendrix.exe", removeFile("/Vendrix.exe"), {m3, app::installationMissingMessage().caption}, {}, false},
      {"no ssn.prm", removeFile("/ssn.prm"), {m3, app::installationMissingMessage().caption}, {}, false},
      {"no work database", removeFile("/Common/WrkData.FDB"), {m3, app::installationMissingMessage().caption}, {},
       false},
      {"no marker", removeFile("/Ex_Data/Important.txt"), {m3, app::installationMissingMessage().caption}, {}, false},
      // The folder text is read afresh for every path: one that changes
      // between the check of the files and the product record's.
      {"store gone at the record",
       [](FakeInstallation& i) {
         i.window.folders = {i.folder, i.folder, i.folder, i.folder, i.folder, i.temp.path() + "/elsewhere"};
       },
       {m3, app::wrongFolderMessage().caption}, {0}, false},
      {"name in other case", setField("Product_Name", "vendrix"), {m3, app::incompatibleMessage().caption}, {0}, false},
      {"other product type", setField("Product_Type", "Gold"), {m3, app::incompatibleMessage().caption}, {0}, false},
      {"already 5.8", setField("Version", "5.8"), {m3, app::incompatibleMessage().caption}, {0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInstallation inst;
    c.arrange(inst);
    inst.apply();
    EXPECT_EQ(captions(inst.window), c.captions);
    EXPECT_EQ(inst.window.progress, c.progress);
    EXPECT_EQ(inst.window.closed, c.windowClosed);
    EXPECT_FALSE(inst.window.circleVisible);
    EXPECT_TRUE(inst.window.buttonsEnabled);
    // No database was touched, the program file is in place, the record
    // closed again.
    EXPECT_TRUE(app_test::entriesStartingWith(inst.world.log, "EXDB").empty());
    EXPECT_TRUE(app_test::entriesStartingWith(inst.world.log, "SSN").empty());
    EXPECT_FALSE(std::filesystem::exists(inst.folder + "/Vendrix.bak.EXE"));
    const auto opened = app_test::entriesStartingWith(inst.world.log, "DB open").size();
    EXPECT_EQ(opened, app_test::entriesStartingWith(inst.world.log, "DB close").size());
  }
}

// The installation's files are checked in their order, up to the first
// missing one: each check reads the folder text once.
TEST(UpdateProcedure, InstallationFilesCheckedInOrderUpToTheFirstMissing) {
  const std::pair<const char*, int> files[] = {{"/dor.fnc", 1},
                                               {"/Vendrix.exe", 2},
                                               {"/ssn.prm", 3},
                                               {"/Common/WrkData.FDB", 4},
                                               {"/Ex_Data/Important.txt", 5}};
  for (const auto& [missing, reads] : files) {
    FakeInstallation inst;
    std::filesystem::remove(inst.folder + missing);
    std::filesystem::remove(inst.folder + "/Ex_Data/Important.txt");  // missing as well, later in the order
    inst.apply();
    EXPECT_EQ(inst.window.folderReads, reads) << missing;
    EXPECT_EQ(captions(inst.window).back(), app::installationMissingMessage().caption);
  }
}

TEST(UpdateProcedure, RefusalMessagesAreTheSystemTexts) {
  const std::pair<const app::Message*, const char*> texts[] = {
      {&app::applicationRunningMessage(),
       "Attention, l'application \"Vendrix\" dont vous voulez la mettre \xE0 jour est en cours d'execution. Veuillez "
       "SVP quitter cette derni\xE8re pour pouvoir continuer."},
      {&app::confirmUpdateMessage(), "Etes vous sur de vouloir Appliquer la mise \xE0 jour ?"},
      {&app::installationMissingMessage(),
       "Attention, le chemin d'installation de l'application choisis ne contiens aucune installation de logiciel. "
       "Veuillez svp v\xE9rifier le chemin d'installation de l'application."},
      {&app::wrongFolderMessage(),
       "Le chemin que vous avez choisis ne contient aucune installation ! Veuillez SVP choisir le chemin de "
       "l'installation de votre logiciel."},
      {&app::updateDoneMessage(), "Votre copie de logiciel a \xE9t\xE9 mis \xE0 jour avec succ\xE8s"},
  };
  for (const auto& [message, text] : texts) EXPECT_EQ(message->text, text);
  EXPECT_EQ(app::packageMissingMessage().text.rfind(
                "Attention, le fichier de package de l'Renovix \"vizaruv.fip\" est introuvable. Veuillez SVP contacter "
                "le support technique : ",
                0),
            0u);
  EXPECT_EQ(app::incompatibleMessage().text.rfind(
                "Cette Mise \xE0 jour n'est pas compatible avec la copie install\xE9 sur votre PC. Veuillez SVP "
                "contacter le support technique : ",
                0),
            0u);
  EXPECT_EQ(app::installationMissingMessage().caption, "Erreur, application introuvable");
  EXPECT_EQ(app::incompatibleMessage().caption, "Erreur de param\xE8tres");
  EXPECT_EQ(app::updateDoneMessage().caption, "Mise \xE0 jour termin\xE9" "e");
  EXPECT_EQ(app::packageMissingMessage().style, 0x10);
  EXPECT_EQ(app::applicationRunningMessage().style, 0x30);
  EXPECT_EQ(app::confirmUpdateMessage().style, 0x31);
}

TEST(UpdateProcedure, WithoutYearlyDatabasesWorkAndParametersAreStillMigrated) {
  FakeInstallation inst("5.6", {});
  inst.apply();
  EXPECT_EQ(inst.window.progress,
            (std::vector<int>{10, 27, 35, 40, 44, 59, 60, 61, 67, 73, 79, 78, 84, 91, 97, 100}));
  const auto shown = app_test::entriesStartingWith(inst.world.log, "PC ");
  EXPECT_EQ(shown, (std::vector<std::string>{"PC shown", "PC hidden"}));
  EXPECT_EQ(app_test::entriesStartingWith(inst.world.log, "Query_Action_38").size(), 1u);
  EXPECT_EQ(app_test::entriesStartingWith(inst.world.log, "Query_SSN_38").size(), 1u);
  EXPECT_EQ(captions(inst.window).back(), app::updateDoneMessage().caption);
}

TEST(UpdateProcedure, EmptyConfigTableReceivesOneRow) {
  FakeInstallation inst("5.7");
  inst.world.databases[inst.work()].tables["Config"] = app_test::configTable(false);
  inst.apply();
  const auto& rows = inst.world.databases[inst.work()].tables["Config"].rows;
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("App_Type"), Variant("Pro"));
  EXPECT_EQ(rows[0].at("DB_Ver"), Variant("3.9"));
  EXPECT_TRUE(rows[0].at("Exercice").isNull());
}

TEST(UpdateProcedure, LeftoverBackupIsReplacedByTheCurrentProgram) {
  FakeInstallation inst("5.7");
  testing_support::writeFile(inst.folder + "/Vendrix.bak.EXE", "MZ program 5.5");
  inst.apply();
  EXPECT_EQ(testing_support::readFile(inst.folder + "/Vendrix.bak.EXE"), "MZ program 5.6");
}

// An engine error ends the command with its message; what was done stays
// done, and the displays keep their state.
TEST(UpdateProcedure, EngineErrorEndsTheCommandWhereItOccurs) {
  struct Case {
    const char* name;
    std::function<std::string(FakeInstallation&)> failOn;
    int lastProgress;
    bool circleVisible;
    const char* connected;  // the alias left connected
  };
  const Case cases[] = {
      {"3.9 script of the yearly database",
       [](FakeInstallation& i) { return "Query_Action_39 ExecSQL " + i.yearly("DBEX_2019.FDB"); }, 10, true, "EXDB"},
      {"3.9 script of the work database",
       [](FakeInstallation& i) { return "Query_Action_39 ExecSQL " + i.work(); }, 35, false, "EXDB"},
      {"parameters script", [](FakeInstallation& i) { return "Query_SSN_38 ExecSQL " + i.parameters(); }, 60, false,
       "SSN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeInstallation inst("5.6");
    inst.world.failOn = c.failOn(inst);
    try {
      inst.apply();
      ADD_FAILURE() << "no error";
    } catch (const platform::EVZException& e) {
      EXPECT_EQ(e.nativeError(), 30265);
      EXPECT_NE(std::string(e.what()).find("Error altering table: 'Clients'"), std::string::npos);
    }
    EXPECT_EQ(inst.window.progress.back(), c.lastProgress);
    EXPECT_EQ(inst.window.circleVisible, c.circleVisible);
    EXPECT_FALSE(inst.world.connected[c.connected].empty());
    // Nothing after the failing step, and the product record keeps its version.
    EXPECT_EQ(inst.world.log.back(), inst.world.failOn);
    EXPECT_EQ(inst.productRecord().at("Version"), Variant("5.6"));
    EXPECT_TRUE(inst.window.buttonsEnabled);
  }
}

// A null product field ends the command with the variant conversion error.
TEST(UpdateProcedure, EmptyProductRecordEndsWithTheConversionError) {
  FakeInstallation inst;
  inst.world.stores[inst.store()].config.rows.clear();
  EXPECT_THROW(
      {
        try {
          inst.apply();
        } catch (const platform::EVariantTypeCastError& e) {
          EXPECT_STREQ(e.what(), "Could not convert variant of type (Null) into type (String)");
          throw;
        }
      },
      platform::EVariantTypeCastError);
  EXPECT_TRUE(inst.window.progress.empty());
}

// Stored versions use a point; a locale writing numbers with a comma must
// not make the update fail after the first database was opened.
TEST(UpdateProcedure, PointVersionUnderACommaLocale) {
  const std::string before = platform::userLocaleName();
  platform::setUserLocale("fr_FR");
  ASSERT_EQ(platform::formatSettings().decimalSeparator, ',');
  FakeInstallation inst("5.6");
  EXPECT_NO_THROW(inst.apply());
  platform::setUserLocale(before);
  EXPECT_EQ(app_test::entriesStartingWith(inst.world.log, "Query_Action_38").size(), 2u);
  EXPECT_EQ(captions(inst.window).back(), app::updateDoneMessage().caption);
}
