// A Vendrix installation for the update procedure's tests: its files in a
// temporary folder (the procedure looks for them on disk), its product
// record and databases in a fake engine world, and the package folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/components.h"
#include "app/update_procedure.h"
#include "fake_engines.h"
#include "fake_window.h"
#include "test_support.h"

namespace app_test {

struct YearlyDatabase {
  std::string fileName;  // DBEX_2019.FDB
  uint64_t size;
  std::vector<int32_t> sales;      // ID_Vente of the Ventes rows
  std::vector<int32_t> purchases;  // ID_Achat of the Achats rows
};

class FakeInstallation {
 public:
  explicit FakeInstallation(const std::string& version = "5.6",
                            std::vector<YearlyDatabase> years = {{"DBEX_2019.FDB", 1048576, {1, 2}, {7}}});

  // Paths as the procedure forms them.
  std::string store() const { return folder + "\\dor.fnc"; }
  std::string yearly(const std::string& fileName) const { return folder + "\\Ex_Data\\" + fileName; }
  std::string work() const { return folder + "\\Common\\WrkData.FDB"; }
  std::string parameters() const { return folder + "\\ssn.prm"; }
  std::string package() const { return packageFolder + "\\vizaruv.fip"; }

  // The product record's fields.
  Row& productRecord() { return world.stores.at(store()).config.rows.front(); }

  // Runs Apply with the window and the fakes.
  void apply();
  app::SystemServices services();

  testing_support::TempDir temp;
  std::string folder;         // the installation folder (the folder box's text)
  std::string packageFolder;  // the current directory
  std::vector<platform::ProcessEntry> processes;
  FakeWorld world;
  FakeWindow window{world.log};
  app::Components components;
};

// The product record of a 5.6 installation with one field changed.
FakeTableData productRecordTable(const std::string& version);

// The log without the window's entries, or only the entries that begin with
// `prefix`.
std::vector<std::string> entriesStartingWith(const std::vector<std::string>& log, const std::string& prefix);

}  // namespace app_test
