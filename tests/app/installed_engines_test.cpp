// The real record store and archive behind the installer's contracts.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/installed_engines.h"
#include "app/verify_command.h"
#include "fake_window.h"
#include "platform/errors.h"
#include "test_support.h"

using testing_support::fixturePath;
using testing_support::readFile;
using testing_support::TempDir;

TEST(InstalledEngines, VerifyReadsARealProductRecord) {
  TempDir dir;
  std::filesystem::copy_file(fixturePath("recstore/config_twofish_m0.fnc"), dir.file("dor.fnc"));
  std::vector<std::string> log;
  app_test::FakeWindow window(log);
  window.folder = dir.path();
  auto db = app::installedEngines().storeTable();
  app::verifyInstallation(window, *db);
  EXPECT_EQ(window.labels[app::ProductLabel::Name], "Vendrix");
  EXPECT_EQ(window.labels[app::ProductLabel::Type], "Pro");
  EXPECT_EQ(window.labels[app::ProductLabel::Version], "5.6");
  EXPECT_EQ(window.labels[app::ProductLabel::Build], "(Build 3)");
  EXPECT_TRUE(window.messages.empty());
}

TEST(InstalledEngines, StoreTableRewritesTheProductRecordInPlace) {
  TempDir dir;
  const std::string path = dir.file("dor.fnc");
  std::filesystem::copy_file(fixturePath("recstore/config_gost_m4.fnc"), path);
  const auto size = std::filesystem::file_size(path);
  auto db = app::installedEngines().storeTable();
  db->setDatabaseName(dir.path() + "\\DOR.FNC");
  db->setPassword("sertu");
  db->setTableName("config");
  db->open();
  db->edit();
  db->setFieldValue("Version", dataset::Variant(std::string("5.8")));
  db->setFieldValue("Build", dataset::Variant(std::string("(Build 1)")));
  db->post();
  db->close();
  EXPECT_EQ(std::filesystem::file_size(path), size);

  db->setDatabaseName(path);
  db->setPassword("sertu");
  db->setTableName("Config");
  db->open();
  EXPECT_EQ(db->fieldValue("Version").toString(), "5.8");
  EXPECT_EQ(db->fieldValue("Build").toString(), "(Build 1)");
  db->close();

  // close forgot the password: a wrong one is refused at open.
  db->setDatabaseName(path);
  db->setPassword("wrong");
  db->setTableName("Config");
  try {
    db->open();
    ADD_FAILURE() << "opened with a wrong password";
  } catch (const platform::EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Access denied");
  }
}

TEST(InstalledEngines, ArchiveExtractsThePackageUnderTheInstallation) {
  TempDir dir;
  auto archive = app::installedEngines().archive();
  archive->setFileName(fixturePath("zip/enc_infozip.zip"));
  archive->setPassword("vispult");
  archive->setBaseDir(dir.path() + "\\");
  archive->openArchive();
  archive->extractFiles("*.*", 10431, "");
  archive->closeArchive();
  size_t files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
    if (e.is_regular_file()) ++files;
  EXPECT_GT(files, 0u);

  // A file that is no archive: the recovery scan finds no entry.
  testing_support::writeFile(dir.file("vizaruv.fip"), "not an archive at all");
  archive->setFileName(dir.path() + "\\vizaruv.fip");
  try {
    archive->openArchive();
    ADD_FAILURE() << "opened a file that is no archive";
  } catch (const platform::EZAException& e) {
    EXPECT_STREQ(e.what(), "Invalid archive file. - Native error: 00035");
  }
}
