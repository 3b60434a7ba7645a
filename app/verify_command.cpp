#include "app/verify_command.h"

#include <utility>

#include "app/installation_paths.h"
#include "platform/filesystem.h"

namespace app {

void verifyInstallation(UserInterface& ui, RecordStoreTable& db) {
  const std::string path = ui.installationFolder() + paths::kProductStore;
  if (!platform::fileExists(path)) {
    ui.showMessage(wrongFolderMessage());
    return;
  }
  db.close();
  db.setDatabaseName(path);
  db.setPassword(kProductStorePassword);
  db.setTableName(kProductTable);
  db.open();
  const std::pair<const char*, ProductLabel> fields[] = {
      {"Product_Name", ProductLabel::Name},
      {"Product_Type", ProductLabel::Type},
      {"Version", ProductLabel::Version},
      {"Build", ProductLabel::Build},
  };
  for (const auto& [field, label] : fields) ui.setProductLabel(label, db.fieldValue(field).toString());
  db.close();
}

}  // namespace app
