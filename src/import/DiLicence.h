#pragma once

// The cross-reference between an import declaration (DI) and the licence (DJAI) whose items it
// cancels, over the article tables of the operations database.

#include <QString>

namespace b2d {

class Recordset;
class Runtime;

// True when ART of the operations database holds article lines for the interno; sets
// `tieneInfoDJAI` when the first row's DECLARACION_CANCELA is not empty.
bool ExisteDI(Runtime &rt, const QString &interno, bool &tieneInfoDJAI);

// What REQDIIMPO asks of the product reference codes: Cumplido when the setting is off or when
// the DI is absent but the interno exists (the article's own code serves); Cancelado when the
// DI is absent and so is the interno (the message was shown and the generation-cancelled flag
// set); ConDI when the DI loaded under the remembered process reference code exists, with
// `tieneInfoDJAI` telling whether it cancels a licence (logged as "existeDI..."). The interno
// checked is the process reference code for an item without subitems, the broker's otherwise.
enum class RequisitoDI { Cumplido, Cancelado, ConDI };
RequisitoDI requisitoDI(Runtime &rt, const QString &interno, const QString &processRC,
                        bool sinSubitems, bool &tieneInfoDJAI);

// The item reference code of the DI line (remembered process reference code) that matches the
// licence line (broker reference code) with item reference code `itrValue`. Several matches
// warn and take the first; none ends the program (throws ProgramEnd).
QString Get_ProcessReferenceCode_DI(Runtime &rt, const QString &itrValue);

// The SUBITEMS query for the article lines of the interno grouped under the official subitem
// (`item`: the official item row, `subitem`: the official subitem row), or "" when the grouping
// does not answer. Failures (an item number beyond 16 bits, a missing column) are raised.
QString GetSubitemsQueryByGroup(Runtime &rt, const Recordset &item, const Recordset &subitem,
                                const QString &interno);
// The grouped subitem whose quantity (and, when several share it, FOB) equals the official
// subitem's, or "" (with a message when no grouped subitem has that quantity or FOB).
QString GetGroupSubitemByQuantity(Runtime &rt, const Recordset &item, const Recordset &subitem,
                                  const QString &interno);

// The SUBITEMS query for the article lines of the interno under one item and subitem, in the
// order of their product reference codes.
QString articulosDeSubitem(const QString &interno, const QString &item, const QString &subitem);

// True when some article line of the interno cancels the licence item as a whole (subitem 0000).
bool ExisteCancelaItemCompleto(Runtime &rt, const QString &item, const QString &interno);

}  // namespace b2d
