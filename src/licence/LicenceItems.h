#pragma once

#include <QString>

namespace b2d {

class Recordset;
class Runtime;

// The licenseItem elements of the licence rt.Despacho, in item order, each with its subitems and
// their article details. Only the FOB currency (as the header wrote it, "USD" for dollars) and
// the interno (the licence's broker reference code) are used. Failures are not trapped here: the
// licence header reports them.
QString DJAI_GetLicenseItems(Runtime &rt, const QString &monedaFob, const QString &monedaFlete,
                             const QString &monedaSeguro, const QString &condicionVenta,
                             const QString &interno, const QString &extra1, const QString &extra2);

// The itemSubItem elements of the current item of `items` (not moved): the official subitems of
// an item with declared subitems, in subitem order, or those of an item without, carrying the
// item's own values. A subitems query that does not open gives the empty text.
QString DJAI_GetItemSubItems(Runtime &rt, const Recordset &items, const QString &interno);
QString DJAI_GetItemSubItems_SinSubitem(Runtime &rt, const Recordset &items,
                                        const QString &interno);

// The subItemDetail elements of the current subitem: the importer's articles of the item whose
// value suffixes are the subitem's, with their quantities and part numbers. A details query that
// does not open gives the empty text.
QString DJAI_GetSubItemDetail(Runtime &rt, const Recordset &items, const Recordset &subitems,
                              const QString &interno, bool sinSubitem);

}  // namespace b2d
