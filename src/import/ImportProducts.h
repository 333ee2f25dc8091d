#pragma once

#include <QString>
#include <QStringList>

namespace b2d {

class Runtime;
struct ItemProductInput;

// The declarationItemProduct elements of an import item without subitems (its one subitem row
// carries the whole item) and of an item with subitems, one per official subitem. `articles` is
// the item's article list (slot 0 unused): the builder for items without subitems adds the
// article lines behind its products. They stop (returning what they had) when the
// generation-cancelled flag gets set; failures are raised again (ErrNo::Product,
// "<builder> linea N::...").
QString Getsubitemsinfo_sinsubitem_ex(Runtime &rt, const ItemProductInput &in, QStringList &articles);
QString Getsubitemsinfo_ex(Runtime &rt, const ItemProductInput &in, QStringList &articles);

}  // namespace b2d
