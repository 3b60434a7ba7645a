#include "app/totals_recomputation.h"

#include <cmath>
#include <utility>

namespace app {

float circlePosition(int32_t recordNumber, int32_t recordCount) {
  // The product wraps as a 32-bit integer would.
  const auto percentOfRecords = static_cast<int32_t>(static_cast<uint32_t>(recordNumber) * 100u);
  if (recordCount == 0) return 0;
  // nearbyint rounds half to even in the default rounding mode.
  return static_cast<float>(std::nearbyint(double(percentOfRecords) / double(recordCount)));
}

void recomputeTotals(DatabaseTable& table, DatabaseQuery& query, const std::string& idField, UserInterface& ui) {
  static const std::pair<const char*, const char*> kColumns[] = {
      {"HT", "HT"}, {"TVA", "TVA"}, {"Timbre", "Timbre"}, {"Montant_S", "Service"}};
  table.first();
  table.edit();
  const int32_t rounds = table.recordCount();
  for (int32_t round = 0; round < rounds; ++round) {
    query.close();
    query.setParamValue(idField, table.fieldValue(idField));
    query.open();
    if (table.state() != TableState::Edit) table.edit();
    for (const auto& [from, to] : kColumns) table.setFieldValue(to, query.fieldValue(from));
    table.next();
    ui.setCirclePosition(circlePosition(table.recordNumber(), table.recordCount()));
    ui.processMessages();
  }
  if (table.state() == TableState::Edit) table.post();
}

}  // namespace app
