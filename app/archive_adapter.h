// The package archive object behind the installer's contract.
#pragma once

#include <memory>

#include "app/engine_contracts.h"

namespace app {

// Named "Archiver", as on the main window, so its messages carry the
// "Archiver: " prefix.
std::unique_ptr<PackageArchive> makeArchive();

}  // namespace app
