#pragma once

#include <QString>
#include <QStringList>

namespace b2d {

class Recordset;
class Runtime;

// What the items section hands the import product builders for one item.
struct ImportItem {
    const Recordset &item;    // the official item row, on its record
    QString itemNumber;       // NRo_item
    double rate = 1;          // rate of the FOB currency to dollars (1 for USD)
    double cif = 0;           // the item CIF
    double fobDiv = 0;        // the item's FOB in its currency (Monto_Fob_Div)
    double netWeight = 0;     // PESO_NETO_KGR
    double quantity = 0;      // CANTIDAD_DECLARADA
    QString interno;          // the broker reference code
    QString processRC;        // the process reference code as the header hands it
    QString monedaFob;
    QString monedaFlete;
    QString monedaSeguro;
    QStringList &articles;    // the item's article list, refilled by the builders
};

// The declarationItemProduct elements of an import item without subitems (its one subitem row
// carries the whole item) and of an item with subitems. They stop (returning what they had)
// when the generation-cancelled flag gets set; failures are raised again (ErrNo::Product,
// "<builder> linea N::...").
QString Getsubitemsinfo_sinsubitem_ex(Runtime &rt, const ImportItem &in);
QString Getsubitemsinfo_ex(Runtime &rt, const ImportItem &in);

}  // namespace b2d
