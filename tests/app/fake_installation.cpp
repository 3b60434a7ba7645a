#include "fake_installation.h"

#include <filesystem>

namespace app_test {

using dataset::Variant;

FakeTableData productRecordTable(const std::string& version) {
  FakeTableData t;
  t.columns = {"ID", "Product_Name", "Product_Type", "Version", "Build", "Release", "Copyright", "Licence_Key"};
  t.textSizes = {{"Product_Name", 30}, {"Product_Type", 10}, {"Version", 10}, {"Build", 20},
                 {"Release", 10},      {"Copyright", 60},    {"Licence_Key", 29}};
  t.rows.push_back({{"ID", Variant(int32_t(1))},
                    {"Product_Name", Variant("Vendrix")},
                    {"Product_Type", Variant("Pro")},
                    {"Version", Variant(version)},
                    {"Build", Variant("(Build 3)")},
                    {"Release", Variant("14/06/2020")},
                    {"Copyright", Variant("Copyright (C) 2012-2020 KESTRAVO")},
                    {"Licence_Key", Variant("VXP56-8Q4KD-2M7RT-ZC91H-0WB3N")}});
  return t;
}

namespace {

FakeTableData documents(const char* idColumn, const std::vector<int32_t>& ids) {
  FakeTableData t;
  t.columns = {idColumn, "HT", "TVA", "Timbre", "Service"};
  for (int32_t id : ids)
    t.rows.push_back({{idColumn, Variant(id)},
                      {"HT", Variant::null()},
                      {"TVA", Variant::null()},
                      {"Timbre", Variant::null()},
                      {"Service", Variant::null()}});
  return t;
}

FakeDatabase exerciseDatabase(const std::vector<int32_t>& sales, const std::vector<int32_t>& purchases) {
  FakeDatabase db;
  db.tables["Config"] = configTable();
  db.tables["Ventes"] = documents("ID_Vente", sales);
  db.tables["Achats"] = documents("ID_Achat", purchases);
  return db;
}

void writeFile(const std::string& path, std::string_view content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  testing_support::writeFile(path, content);
}

}  // namespace

FakeInstallation::FakeInstallation(const std::string& version, std::vector<YearlyDatabase> years)
    : folder(temp.path() + "/Vendrix Pro"), packageFolder(temp.path() + "/package") {
  writeFile(folder + "/dor.fnc", "RecDB");
  writeFile(folder + "/Vendrix.exe", "MZ program 5.6");
  writeFile(folder + "/ssn.prm", "ssn");
  writeFile(folder + "/Vendrix.ini", "[Fenetres]");
  writeFile(folder + "/Common/WrkData.FDB", "work");
  writeFile(folder + "/Ex_Data/Important.txt", "Ne supprimez pas\r\n");
  writeFile(folder + "/Ex_Data/DBEX_2018.FDB.bak", "old copy");
  writeFile(folder + "/Ex_Data/Archive_2017.FDB", "archived");
  writeFile(packageFolder + "/vizaruv.fip", "PK");
  for (const YearlyDatabase& y : years) {
    writeFile(folder + "/Ex_Data/" + y.fileName, "");
    std::filesystem::resize_file(folder + "/Ex_Data/" + y.fileName, y.size);
    world.databases[yearly(y.fileName)] = exerciseDatabase(y.sales, y.purchases);
  }
  world.databases[work()] = exerciseDatabase({1, 2}, {1});
  world.databases[parameters()] = FakeDatabase{};
  world.stores[store()].config = productRecordTable(version);
  window.folder = folder;
  components = app::Components::create(world.factory());
}

app::SystemServices FakeInstallation::services() {
  return {[this] { return packageFolder; }, [this] { return processes; }};
}

void FakeInstallation::apply() { app::UpdateProcedure(window, components, services()).run(); }

std::vector<std::string> entriesStartingWith(const std::vector<std::string>& log, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& e : log)
    if (e.rfind(prefix, 0) == 0) out.push_back(e);
  return out;
}

}  // namespace app_test
