#pragma once

#include <QString>

namespace b2d {

class Recordset;
class Runtime;
struct DeclarationBuilders;

// The failures the tariff and subitem lookups pass on to their caller.
namespace ErrNo {
constexpr long Lookup = -2146102393;  // 0x80151387
}

// The tariff description of a position ("8471.30.12.100A"): the description parts of the
// "NCM" entity joined by blanks, carriage returns turned into blanks, at most 4000 characters.
QString GetNCMDescripcion(Runtime &rt, const QString &posicion);

// The articles of an interno grouped under an item and subitem. Both numbers are reformatted in
// place with four digits (3 becomes 0003). False when there is no article.
bool GetSubitemsByItem(Runtime &rt, QString &item, QString &subitem, const QString &interno,
                       Recordset &articles);

// The products of an export item with subitems: one product element per article of each of its
// subitems, written by the export product element builder. `fobDiv`, `cif` and `netWeight` are
// the item's FOB in the declared currency, its CIF and its net weight.
QString GetSubitemInfo_V2(Runtime &rt, const DeclarationBuilders &builders, const QString &item,
                          double fobDiv, double cif, double netWeight,
                          const QString &brokerReferenceCode, double cantidadDeclarada,
                          const Recordset &itemRow, const QString &monedaFlete,
                          const QString &monedaSeguro, const QString &monedaFob);

// The declaration's FOB in dollars with two decimals: summed over the items, or the header's
// FOB for a declaration in dollars ("DOL").
QString GetTotalDollarPrice(Runtime &rt, const QString &moneda, const QString &despacho);

// The sum of the article quantities of the item of `itemRow` and a subitem of an interno.
double GetCantidadSubitem(Runtime &rt, const Recordset &itemRow, const QString &subitem,
                          const QString &interno);

}  // namespace b2d
