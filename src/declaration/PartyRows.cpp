#include "declaration/PartyRows.h"

#include "data/DataAccess.h"
#include "values/Values.h"

#include <array>

namespace b2d {

namespace {
const std::array<const char *, 9> kPartyColumns = {
    "entityType", "entityReferenceCode", "entityName",       "entityCountry", "entityAddress",
    "entityCity", "entityState",         "entityPostalCode", "entityPhone",
};
}  // namespace

QString partySelectColumns()
{
    return QStringLiteral(
        "SELECT DISTINCT entityType,entityReferenceCode,entityName,entityCountry,entityAddress,"
        "entityCity,entityState,entityPostalCode,entityPhone,RequestEntityID");
}

QString partyQuery(const QString &interno, int item, const QString &invoiceNumber)
{
    QString sql = partySelectColumns();
    sql += QStringLiteral(" FROM requestentitydvn");
    sql += QStringLiteral(" WHERE INTNRO = '") + sqlQuote(interno) + QStringLiteral("' ");
    sql += QStringLiteral(" AND ITEMARTID = ") + QString::number(item) + QStringLiteral(" ");
    if (!invoiceNumber.isEmpty())
        sql += QStringLiteral(" AND INVOICENUMBER = '") + sqlQuote(invoiceNumber)
            + QStringLiteral("' ");
    sql += QStringLiteral(" ORDER BY RequestEntityID ASC");
    return sql;
}

QString partyElementName(int item)
{
    return item < 1 ? QStringLiteral("declarationEntity") : QStringLiteral("declarationItemEntity");
}

QString partyElements(Recordset &rs, const QString &elementName)
{
    QString out;
    while (!rs.EOF_()) {
        out += QLatin1Char('<') + elementName + QLatin1Char('>');
        for (const char *column : kPartyColumns) {
            const QString name = QLatin1String(column);
            out += xmlElement(name, EsNulo(rs.field(name)));
        }
        out += QStringLiteral("</") + elementName + QLatin1Char('>');
        rs.MoveNext();
    }
    return out;
}

}  // namespace b2d
