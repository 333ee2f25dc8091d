#pragma once

#include <QString>
#include <QStringList>

namespace b2d {

class Recordset;
class Runtime;

// The article lines behind one official subitem of an import item (`item`: the official item
// row, `subitem`: the official subitem row, both on their current record).
//
// Finds the articles (licence lines, grouped subitems or the plain SUBITEMS lines), hands them
// back in `articulos` (left closed when none were found) and, when there are several, returns
// one productReferenceCodeDetail element per article. `itemCompleto` receives whether the
// licence item is cancelled as a whole when the licence lines were used. For an item without
// subitems (`sinSubitems`) every fully matched article is appended to `articles` as
// "IDEXT|||FACTURA_NRO" (slot 0 of the list stays unused). A missing interno or, under
// OMITIRRELACIONDJDI, missing licence lines set the generation-cancelled flag and give "".
// Failures are raised again (ErrNo::Product, "GetIMPOTag_productReferenceCodeDetail linea N::...").
QString GetIMPOTag_productReferenceCodeDetail(Runtime &rt, const Recordset &item,
                                              const Recordset &subitem, const QString &interno,
                                              const QString &processRC, QStringList &articles,
                                              bool sinSubitems, Recordset &articulos,
                                              bool &itemCompleto);

}  // namespace b2d
