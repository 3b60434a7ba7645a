// The fixed names of an installation and of the update package. Every
// installation path is the folder text followed directly by one of these.
#pragma once

namespace app {

namespace paths {
constexpr const char* kProductStore = "\\dor.fnc";
constexpr const char* kProgramFile = "\\Vendrix.exe";
constexpr const char* kParametersDatabase = "\\ssn.prm";
constexpr const char* kWorkDatabase = "\\Common\\WrkData.FDB";
constexpr const char* kDataMarker = "\\Ex_Data\\Important.txt";
constexpr const char* kYearlyDatabases = "\\Ex_Data\\DBEX_20*.FDB";
constexpr const char* kDataFolder = "\\Ex_Data\\";
constexpr const char* kProgramBackup = "\\Vendrix.bak.EXE";
constexpr const char* kProgramToBackUp = "\\Vendrix.EXE";
constexpr const char* kFolderEnd = "\\";
// Relative to the current directory.
constexpr const char* kPackage = "\\vizaruv.fip";
constexpr const char* kPackageName = "vizaruv.fip";
}  // namespace paths

constexpr const char* kProgramName = "Vendrix.exe";
constexpr const char* kProductStorePassword = "sertu";
constexpr const char* kProductTable = "Config";
constexpr const char* kPackagePassword = "vispult";

}  // namespace app
