// The totals queries of the 3.8 recomputation. The purchase query is the
// sales query with the purchase tables, columns, aliases and document types
// put in; both are built from one template so that they cannot drift apart.
#include <string>
#include <vector>

#include "app/migration_lines.h"
#include "app/migration_texts.h"

namespace app {

namespace {

struct DocumentNames {
  std::string header;        // release and structure step
  std::string table;         // Ventes
  std::string alias;         // V1
  std::string lineTable;     // Ventes_Produit
  std::string lineAlias;     // V2
  std::string id;            // ID_Vente (also the parameter)
  std::string price;         // Prix_V
  std::string typeColumn;    // Vente_Type
  std::string invoiceType;   // VF
  std::string counterType;   // VV
  std::string partyTable;    // Clients
  std::string partyAlias;    // C6
  std::string partyId;       // ID_Client
  std::string paymentTable;  // Reglement_Clients
  std::string serviceTable;  // Ventes_Service
};

enum class Branch { CashInvoice, OtherInvoice, NoVat };

std::vector<std::string> selectBranch(const DocumentNames& n, Branch branch) {
  const std::string d = n.alias + ".";
  const std::string q = "(" + n.lineAlias + ".\"Quantite\" * " + n.lineAlias + ".\"" + n.price + "\")";
  const std::string r = "(1 + (T5.\"TF\" / 100))";
  const std::string qr = "(" + q + " * " + r + ")";
  const std::string cost = "V3.\"Cout\"";
  const std::string key = d + "\"" + n.id + "\" = :" + n.id;
  const std::string type = d + "\"" + n.typeColumn + "\"";

  std::string tva, timbre, montantP, montantOpr, where;
  switch (branch) {
    case Branch::CashInvoice:
    case Branch::OtherInvoice: {
      const bool cash = branch == Branch::CashInvoice;
      tva = "SUM(" + q + " * (T5.\"TF\" / 100))";
      timbre = cash ? "SUM(" + qr + " * 0.01)" : "0";
      montantP = cash ? "SUM(" + qr + " * (1+0.01))" : "SUM(" + qr + ")";
      montantOpr = cash ? "SUM(CASE WHEN " + cost + " <> 0 THEN ((" + qr + " * (1+(0.01))) + " + cost + ") ELSE (" +
                              qr + " * (1+(0.01))) END)"
                        : "SUM(CASE WHEN " + cost + " <> 0 THEN ((" + qr + ") + " + cost + ") ELSE (" + qr +
                              ") END)";
      where = key + " AND " + type + " = \"" + n.invoiceType + "\" AND " + d + "\"Exo_TVA\" = False AND R7.\"Mode\" " +
              (cash ? "=" : "<>") + " \"Esp\xE8" "ce\"";
      break;
    }
    case Branch::NoVat:
      tva = "0";
      timbre = "0";
      montantP = "SUM(" + q + ")";
      montantOpr = "SUM(CASE WHEN " + cost + " <> 0 THEN (" + q + " + " + cost + ") ELSE " + q + " END)";
      where = key + " AND ((" + type + " = \"" + n.invoiceType + "\" AND " + d + "\"Exo_TVA\" = True) OR (" + type +
              " = \"" + n.counterType + "\"))";
      break;
  }
  const std::string ttc = branch == Branch::NoVat ? "SUM(" + q + ")" : "SUM(" + q + " * " + r + ")";

  return {
      "SELECT " + d + "\"" + n.id + "\" AS " + n.id + ",",
      "  SUM(" + q + ") AS HT,",
      "  " + tva + " AS TVA,",
      "  " + ttc + " AS TTC,",
      "  " + timbre + " AS Timbre,",
      "  " + montantP + " AS Montant_P,",
      "  SUM(CASE WHEN " + cost + " <> 0 THEN COUT ELSE 0.00 END) AS Montant_S,",
      "  " + montantOpr + " AS Montant_Opr,",
      "  " + d + "\"Remise\" AS Remise,",
      "  R7.\"Montant\" AS Montant,",
      "  SUM(P4.\"Mesure\" * " + n.lineAlias + ".\"Quantite\") AS Mesure",
      "FROM \"" + n.table + "\" " + n.alias,
      "  LEFT JOIN \"" + n.lineTable + "\" " + n.lineAlias + " ON (" + d + "\"" + n.id + "\" = " + n.lineAlias + ".\"" +
          n.id + "\")",
      "  INNER JOIN \"Produit\" P4 ON (" + n.lineAlias + ".\"ID_Produit\" = P4.\"ID_Produit\")",
      "  INNER JOIN \"Taux_Fisc\" T5 ON (P4.\"ID_TF\" = T5.\"ID_TF\")",
      "  INNER JOIN \"" + n.partyTable + "\" " + n.partyAlias + " ON (" + d + "\"" + n.partyId + "\" = " +
          n.partyAlias + ".\"" + n.partyId + "\")",
      "  INNER JOIN \"" + n.paymentTable + "\" R7 ON (" + d + "\"ID_Reglement\" = R7.\"ID_Reglement\")",
      "  LEFT JOIN \"" + n.serviceTable + "\" V3 ON (" + d + "\"" + n.id + "\" = V3.\"" + n.id + "\")",
      "WHERE " + where,
      "GROUP BY " + d + "\"" + n.id + "\", " + d + "\"Remise\", R7.\"Montant\"",
  };
}

std::string buildTotalsQuery(const DocumentNames& names) {
  std::vector<std::string> lines{"-- " + names.header};
  const Branch branches[] = {Branch::CashInvoice, Branch::OtherInvoice, Branch::NoVat};
  for (Branch b : branches) {
    if (b != Branch::CashInvoice) lines.push_back("UNION");
    for (std::string& line : selectBranch(names, b)) lines.push_back(std::move(line));
  }
  return joinLines(lines);
}

}  // namespace

const std::string& salesTotalsQuery() {
  static const std::string text = buildTotalsQuery({
      "Vendrix Pro 5.7 Build 1, structure 3.8, totaux des ventes",
      "Ventes", "V1", "Ventes_Produit", "V2", "ID_Vente", "Prix_V", "Vente_Type", "VF", "VV",
      "Clients", "C6", "ID_Client", "Reglement_Clients", "Ventes_Service",
  });
  return text;
}

const std::string& purchaseTotalsQuery() {
  static const std::string text = buildTotalsQuery({
      "Vendrix Pro 5.7 Build 1, structure 3.8, totaux des achats",
      "Achats", "A1", "Achats_Produit", "A2", "ID_Achat", "Prix_A", "Achat_Type", "AF", "AA",
      "Fournisseurs", "F6", "ID_Fournis", "Reglement_Fournis", "Achats_Service",
  });
  return text;
}

}  // namespace app
