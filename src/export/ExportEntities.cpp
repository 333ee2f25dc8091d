#include "export/ExportEntities.h"

#include "data/DataAccess.h"
#include "declaration/PartyRows.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"

namespace b2d {

// Failures (a missing column, a broken connection) are not trapped here: they reach the header
// builder and the document driver, which report them.
QString GetEXPOTAG_declarationEntity(Runtime &rt, const QString &interno, int item,
                                     const QString &invoiceNumber, const QString &preparedQuery)
{
    const QString element = partyElementName(item);
    const QString sql =
        preparedQuery.isEmpty() ? partyQuery(interno, item, invoiceNumber) : preparedQuery;
    Recordset rs;
    if (!openQuery(rt, QStringLiteral("INTERNOS"), sql, rs))
        return {};
    return partyElements(rs, element);
}

}  // namespace b2d
