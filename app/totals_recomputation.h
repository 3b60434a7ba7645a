// The row-by-row recomputation of the stored totals of sales or purchases.
#pragma once

#include <cstdint>
#include <string>

#include "app/engine_contracts.h"
#include "app/user_interface.h"

namespace app {

// For every row of `table` (Ventes or Achats): reopens `query` with the row's
// identifier (`idField`, also the parameter's name) and writes its HT, TVA,
// Timbre and Montant_S into the row's HT, TVA, Timbre and Service. The number
// of rounds is the record count taken before the loop. After each row the
// circular display shows the progress and the window processes messages.
void recomputeTotals(DatabaseTable& table, DatabaseQuery& query, const std::string& idField, UserInterface& ui);

// The display's position for the current record number R and record count
// C: R x 100 (a 32-bit product) / C in floating point, rounded half to even.
float circlePosition(int32_t recordNumber, int32_t recordCount);

}  // namespace app
