#include "licence/LicenceEntities.h"

#include "data/DataAccess.h"
#include "declaration/PartyRows.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "values/Values.h"

namespace b2d {

QString DJAI_GetLicenseEntity(Runtime &rt, const QString &interno)
{
    try {
        Recordset rs;
        if (!openQuery(rt, QStringLiteral("INTERNOS"),
                       QStringLiteral("Select * From requestentitydvn where INTNRO = '")
                           + sqlQuote(interno) + QStringLiteral("' order by RequestEntityID ASC"),
                       rs))
            return {};
        return partyElements(rs, QStringLiteral("licenseEntity"));
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("DJAI_GetLicenseEntity"), QStringLiteral("MOD_DJAI"));
        return {};
    }
}

QString DJAI_GetLicenseFlexField()
{
    return QStringLiteral("<flexFieldName></flexFieldName><flexFieldValue></flexFieldValue>");
}

}  // namespace b2d
