// The product record store's table object behind the installer's contract.
#pragma once

#include <memory>

#include "app/engine_contracts.h"

namespace app {

std::unique_ptr<RecordStoreTable> makeStoreTable();

}  // namespace app
