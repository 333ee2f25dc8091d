#pragma once

#include <QString>

#include <functional>

namespace b2d {

class Recordset;
class Runtime;
struct DeclarationBuilders;

// The declaration's items: one declarationItem per row of ITEMS_ARTICULOS, in item order, with
// its values, expenses (imports), duties, weights, products (through `builders`), the parties of
// its articles and its bank flex field. Failures are raised again to the driver
// (ErrNo::Builder, source "GetItemInfo linea N :: ...").
// Each item's text is handed to `sink` when the item is finished, so that the items of a large
// declaration are never held together as one text; after a cancellation what was handed on is
// to be discarded.
using ItemTextSink = std::function<void(QStringView)>;
void GetItemInfo(Runtime &rt, const DeclarationBuilders &builders, const QString &monedaFob,
                 const QString &monedaFlete, const QString &monedaSeguro, const QString &condicionVenta,
                 const QString &brokerReferenceCode, const QString &subregimen,
                 const QString &processReferenceCode, const ItemTextSink &sink);
// The same, the items' text returned whole ("" after a cancellation).
QString GetItemInfo(Runtime &rt, const DeclarationBuilders &builders, const QString &monedaFob,
                    const QString &monedaFlete, const QString &monedaSeguro,
                    const QString &condicionVenta, const QString &brokerReferenceCode,
                    const QString &subregimen, const QString &processReferenceCode);

// The items query of the declaration (or, `licencia`, the licence) `despacho`, in item order. One
// in another currency than dollars sums the item's base and adjustments in that currency; one in
// dollars selects the CIF in dollars. A declaration's also selects its adjustments and number.
QString itemsQuery(const QString &monedaFob, const QString &despacho, bool licencia = false);

// The item's gross weight: the declaration's gross weight shared out by the item's FOB, "0.00".
QString GetKILOBRUTOItem(Runtime &rt, const QString &item);
// The item's customs value in dollars, "0.00".
QString GetVALORENADUANAItem(Runtime &rt, const QString &item);
// The bank of the item (row of the items query) as declarationItemFlexField, or nothing.
QString GetDeclarationsItemFlexField_InformacionComplementaria(Runtime &rt, const Recordset &item);
// The item's complementary information of a code: the last row's value, "" without rows.
QString GetInformacionComplementaria(Runtime &rt, const QString &item, const QString &codigo);
// The item's countries of origin and provenance: the first row's code, "" without rows.
QString GetCountryOfOrigin(Runtime &rt, const QString &item);
QString GetCountryOfProvenance(Runtime &rt, const QString &item);
// A country as the settings want it written: the ISO code of the relation table, or (with
// IGNORARRELACIONPAIS) the code and/or the name of ORG.
QString GetPaisNameFromID(Runtime &rt, const QString &codigo);

}  // namespace b2d
