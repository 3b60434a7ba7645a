// The SQL texts that the installer's query objects hold: four migration
// scripts and the two totals queries of the 3.8 recomputation. Each text is
// Windows-1252, a list of lines joined by CR LF.
#pragma once

#include <string>

namespace app {

// Yearly and work databases, structure 3.7 -> 3.8 (Vendrix 5.6 -> 5.7).
const std::string& action38Script();
// Yearly and work databases, structure 3.8 -> 3.9 (Vendrix 5.7 -> 5.8).
const std::string& action39Script();
// Parameters database, 3.6 -> 3.7.
const std::string& ssn37Script();
// Parameters database, 3.7 -> 3.8.
const std::string& ssn38Script();

// Totals of one sale (parameter ID_Vente, three times) and of one purchase
// (ID_Achat): columns ID, HT, TVA, TTC, Timbre, Montant_P, Montant_S,
// Montant_Opr, Remise, Montant, Mesure.
const std::string& salesTotalsQuery();
const std::string& purchaseTotalsQuery();

// Addresses of the maker's support site and of the product's web site.
extern const char* const kSupportSiteAddress;
extern const char* const kProductSiteAddress;

}  // namespace app
