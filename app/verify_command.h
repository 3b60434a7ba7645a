// The Verify command: shows the product record of the installation in the
// chosen folder.
#pragma once

#include "app/engine_contracts.h"
#include "app/user_interface.h"

namespace app {

// Opens Folder + "\dor.fnc" through `db` and puts Product_Name,
// Product_Type, Version and Build into their labels, each as soon as it is
// read. Without that file: the wrong-folder warning, labels unchanged.
// Store errors and a null field (a table without rows) end the command with
// their exception; the labels already set keep their texts.
void verifyInstallation(UserInterface& ui, RecordStoreTable& db);

}  // namespace app
