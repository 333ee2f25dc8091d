#include "lookups/Operations.h"

#include "data/DataAccess.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

bool ExisteInternoEnCaldra(Runtime &rt, const QString &interno)
{
    return trapStandard(rt, QStringLiteral("ExisteInternoEnCaldra"), QStringLiteral("Mod_Main"), false, [&] {
        Recordset rs;
        const bool found =
            openQuery(rt, QStringLiteral("INTERNOS"),
                      QStringLiteral("Select Interno from Caratula where Interno = '") + sqlQuote(interno)
                          + QLatin1Char('\''),
                      rs)
            && rs.RecordCount() > 0;
        rs.Close();
        return found;
    });
}

}  // namespace b2d
