#pragma once

#include <QString>

namespace b2d {

class Recordset;
class Runtime;

// The products of an export item without subitems: for each of its rows of ITEMS_SUBITEMS, one
// product of the item as a whole when at most one article stands behind it, else one product per
// article. `cif` is the item CIF, `currency` the FOB currency, `factor` its rate to dollars.
// Failures are passed on (ErrNo::Product, chained source).
QString GetEXPOTag_SubItemInfo_SinSubitem_EX(Runtime &rt, const QString &itemNumber,
                                             const QString &interno, const Recordset &itemRow,
                                             double cif, const QString &currency, double factor);

// One product element of an export article. Grouped: the FOB amount, net and gross weight are
// shared out by the article's quantity; not grouped: the subitem's own figures. Failures are
// passed on (ErrNo::Product, chained source).
QString GetExpoTagDeclarationItemProduct(Runtime &rt, const Recordset &itemRow,
                                         const Recordset &articles, const Recordset &subitem,
                                         const QString &itemNumber, const QString &currency,
                                         double cifBase, double fob, double unitNetWeight,
                                         double netWeight, double cif, bool grouped);

}  // namespace b2d
