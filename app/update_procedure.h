// The Apply command: the whole update of one installation, from the checks
// to the rewritten product record, on the window thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/components.h"
#include "app/user_interface.h"
#include "platform/process.h"

namespace app {

// What the procedure takes from the system besides the file system.
struct SystemServices {
  std::function<std::string()> currentDirectory;
  std::function<std::vector<platform::ProcessEntry>()> processSnapshot;

  // The real ones.
  static SystemServices platformServices();
};

// Values written at the end of an update.
constexpr const char* kNewProductType = "Pro";
constexpr const char* kNewVersion = "5.8";
constexpr const char* kNewBuild = "(Build 1)";
constexpr const char* kNewRelease = "05/11/2021";
constexpr const char* kNewCopyright = "Copyright (C) 2012-2021 KESTRAVO";

class UpdateProcedure {
 public:
  UpdateProcedure(UserInterface& ui, Components& components, SystemServices system);

  // Runs the update. Refusals end it with their message; an error of an
  // engine, of a conversion or of a null value ends it with that exception,
  // leaving everything done before as it is.
  void run();

 private:
  std::string folder() { return ui_.installationFolder(); }
  bool installationComplete();
  // Opens and validates the product record; false after a refusal.
  bool openProductRecord();
  void migrateYearlyDatabases();
  void migrateWorkDatabase();
  void migrateParametersDatabase();
  void backUpProgramFile();
  void extractPackage();
  void rewriteProductRecord();
  void rebuildExdb();
  void rewriteConfigRow();
  void recomputeYear();

  UserInterface& ui_;
  Components& c_;
  SystemServices system_;
  std::string version_;  // the installed version, read once
};

}  // namespace app
