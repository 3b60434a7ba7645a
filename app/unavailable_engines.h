// Stand-ins for engines that are not built into the program: every
// operation raises EngineUnavailable naming the engine.
#pragma once

#include <memory>
#include <string>

#include "app/engine_contracts.h"
#include "platform/errors.h"

namespace app {

class EngineUnavailable : public platform::Exception {
 public:
  explicit EngineUnavailable(const std::string& engine);
};

std::unique_ptr<RecordStoreTable> unavailableStoreTable();
std::unique_ptr<DatabaseConnection> unavailableConnection();
std::unique_ptr<DatabaseTable> unavailableTable();
std::unique_ptr<DatabaseQuery> unavailableQuery();
std::unique_ptr<PackageArchive> unavailableArchive();

}  // namespace app
