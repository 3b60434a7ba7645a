#include "app/update_procedure.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "app/installation_paths.h"
#include "app/messages.h"
#include "app/running_application.h"
#include "app/totals_recomputation.h"
#include "app/verify_command.h"
#include "app/version_tests.h"
#include "platform/filesystem.h"
#include "platform/locale.h"

namespace app {

SystemServices SystemServices::platformServices() {
  return {platform::currentDirectory, platform::processSnapshot};
}

UpdateProcedure::UpdateProcedure(UserInterface& ui, Components& components, SystemServices system)
    : ui_(ui), c_(components), system_(std::move(system)) {}

void UpdateProcedure::run() {
  if (!platform::fileExists(system_.currentDirectory() + paths::kPackage)) {
    ui_.showMessage(packageMissingMessage());
    ui_.closeMainWindow();
    return;
  }
  if (isProgramRunning(kProgramName, system_.processSnapshot())) {
    ui_.showMessage(applicationRunningMessage());
    return;
  }
  if (ui_.showMessage(confirmUpdateMessage()) != kAnswerOk) return;
  if (!installationComplete()) {
    ui_.showMessage(installationMissingMessage());
    return;
  }
  if (!openProductRecord()) return;

  ui_.setProgress(10);
  ui_.setCirclePosition(0);
  ui_.setCircleVisible(true);
  ui_.setYearLabelVisible(true);
  migrateYearlyDatabases();
  ui_.setProgress(27);
  ui_.setCirclePosition(100);
  ui_.setCircleVisible(false);
  ui_.setYearLabelVisible(false);

  migrateWorkDatabase();
  migrateParametersDatabase();
  backUpProgramFile();
  extractPackage();
  rewriteProductRecord();

  verifyInstallation(ui_, *c_.DB);
  ui_.setActionButtonsEnabled(false);
  ui_.showMessage(updateDoneMessage());
}

bool UpdateProcedure::installationComplete() {
  for (const char* relative : {paths::kProductStore, paths::kProgramFile, paths::kParametersDatabase,
                               paths::kWorkDatabase, paths::kDataMarker}) {
    if (!platform::fileExists(folder() + relative)) return false;
  }
  return true;
}

bool UpdateProcedure::openProductRecord() {
  const std::string store = folder() + paths::kProductStore;
  if (!platform::fileExists(store)) {
    ui_.showMessage(wrongFolderMessage());
    ui_.setProgress(0);
    return false;
  }
  RecordStoreTable& db = *c_.DB;
  db.setDatabaseName(store);
  db.setPassword(kProductStorePassword);
  db.setTableName(kProductTable);
  db.open();
  version_ = db.fieldValue("Version").toString();
  // Names and types compare exactly, case included.
  const bool compatible = db.fieldValue("Product_Name").toString() == "Vendrix" &&
                          db.fieldValue("Product_Type").toString() == "Pro" && versionCompatible(version_);
  if (!compatible) {
    ui_.showMessage(incompatibleMessage());
    db.close();
    ui_.setProgress(0);
    return false;
  }
  return true;
}

void UpdateProcedure::migrateYearlyDatabases() {
  const std::vector<platform::FindEntry> matches = platform::findFiles(folder() + paths::kYearlyDatabases, 63);
  for (const platform::FindEntry& match : matches) {
    c_.EXDB_Name->setDatabaseFileName(folder() + paths::kDataFolder + match.name);
    c_.EXDB_Name->setConnected(true);
    // The year (4 characters from the 6th of the name) and the size in bytes,
    // low 32 bits, signed.
    const std::string name = platform::utf8ToAnsi(match.name);
    const auto size = static_cast<int32_t>(static_cast<uint32_t>(match.size));
    ui_.setYearLabelText(name.substr(std::min<size_t>(5, name.size()), 4) + " / " + std::to_string(size));
    if (versionAtMost(version_, 5.6)) {
      c_.Query_Action_38->execSql();
      recomputeYear();
      rebuildExdb();
    }
    if (versionAtMost(version_, 5.7)) c_.Query_Action_39->execSql();
    rewriteConfigRow();
    c_.EXDB_Name->setConnected(false);
  }
}

void UpdateProcedure::recomputeYear() {
  for (DatabaseTable* table : {c_.Table_Ventes.get(), c_.Table_Achats.get()}) {
    if (table->isOpen())
      table->refresh();
    else
      table->open();
  }
  ui_.setCircleRingColour(kRingGreen);
  recomputeTotals(*c_.Table_Ventes, *c_.Query_Calc_38V, "ID_Vente", ui_);
  ui_.setCircleRingColour(kRingRed);
  ui_.setCirclePosition(0);
  recomputeTotals(*c_.Table_Achats, *c_.Query_Calc_38A, "ID_Achat", ui_);
}

void UpdateProcedure::rebuildExdb() {
  DatabaseConnection& exdb = *c_.EXDB_Name;
  exdb.setConnected(false);
  std::string log = "DB Updated to 3.8 as changing DB Params";
  // The result is not examined: the following steps show whether the file
  // can be used.
  exdb.changeDatabaseSettings(log, false, exdbSettings().password, exdb.cipherId(), 16224, 64, 128);
  exdb.setConnected(true);
}

void UpdateProcedure::rewriteConfigRow() {
  DatabaseTable& config = *c_.DBCTable;
  config.open();
  config.edit();
  config.setFieldValue("App_Type", "Pro");
  config.setFieldValue("App_Ver", "5.8");
  config.setFieldValue("App_Build", "1");
  config.setFieldValue("DB_Ver", "3.9");
  config.post();
  config.close();
}

void UpdateProcedure::migrateWorkDatabase() {
  c_.EXDB_Name->setDatabaseFileName(folder() + paths::kWorkDatabase);
  c_.EXDB_Name->setConnected(true);
  ui_.setProgress(35);
  if (versionAtMost(version_, 5.6)) {
    c_.Query_Action_38->execSql();
    rebuildExdb();
  }
  if (versionAtMost(version_, 5.7)) c_.Query_Action_39->execSql();
  ui_.setProgress(40);
  rewriteConfigRow();
  c_.EXDB_Name->setConnected(false);
  ui_.setProgress(44);
}

void UpdateProcedure::migrateParametersDatabase() {
  c_.SSN_Name->setDatabaseFileName(folder() + paths::kParametersDatabase);
  c_.SSN_Name->setConnected(true);
  ui_.setProgress(59);
  if (versionTextAtMost(version_, "5.6")) c_.Query_SSN_37->execSql();
  ui_.setProgress(60);
  if (versionTextAtMost(version_, "5.7")) c_.Query_SSN_38->execSql();
  c_.SSN_Name->setConnected(false);
  ui_.setProgress(61);
}

void UpdateProcedure::backUpProgramFile() {
  // Neither result is looked at: a missing backup or a failed rename does
  // not stop the update.
  platform::deleteFile(folder() + paths::kProgramBackup);
  platform::renameFile(folder() + paths::kProgramToBackUp, folder() + paths::kProgramBackup);
  ui_.setProgress(67);
}

void UpdateProcedure::extractPackage() {
  PackageArchive& archive = *c_.Archiver;
  archive.setFileName(system_.currentDirectory() + paths::kPackage);
  ui_.setProgress(73);
  archive.setPassword(kPackagePassword);
  ui_.setProgress(79);
  archive.openArchive();
  ui_.setProgress(78);
  archive.setBaseDir(folder() + paths::kFolderEnd);
  ui_.setProgress(84);
  // Read-only, hidden, system, volume label, folder, archive, normal,
  // compressed and not-content-indexed.
  archive.extractFiles("*.*", 0x28BF, "");
  ui_.setProgress(91);
  archive.closeArchive();
  ui_.setProgress(97);
}

void UpdateProcedure::rewriteProductRecord() {
  RecordStoreTable& db = *c_.DB;
  db.open();  // still open since the validation: does nothing
  db.edit();
  db.setFieldValue("Product_Type", kNewProductType);
  db.setFieldValue("Version", kNewVersion);
  db.setFieldValue("Build", kNewBuild);
  db.setFieldValue("Release", kNewRelease);
  db.setFieldValue("Copyright", kNewCopyright);
  db.post();
  db.close();
  ui_.setProgress(100);
}

}  // namespace app
