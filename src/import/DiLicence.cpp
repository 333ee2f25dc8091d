#include "import/DiLicence.h"

#include "data/DataAccess.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

bool ExisteDI(Runtime &rt, const QString &interno, bool &tieneInfoDJAI)
{
    bool existe = false;
    int line = 10;
    try {
        const QString sql = QStringLiteral("SELECT * ") + QStringLiteral("FROM ART ")
            + QStringLiteral("WHERE INTNRO = '") + sqlQuote(interno) + QLatin1Char('\'');
        Recordset rs;
        if (openQuery(rt, QStringLiteral("INTERNOS"), sql, rs) && rs.RecordCount() > 0) {
            line = 20;
            existe = true;
            rs.MoveFirst();
            // Only the first article line tells whether the DI cancels a licence.
            if (!EsNulo(rs.field(QStringLiteral("DECLARACION_CANCELA"))).isEmpty())
                tieneInfoDJAI = true;
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("ExisteDI"), QStringLiteral("Mod_IMPO"),
                          QString::number(line));
    }
    return existe;
}

}  // namespace b2d
