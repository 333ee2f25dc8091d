#include "import/ImportEntities.h"

#include "data/DataAccess.h"
#include "declaration/PartyRows.h"
#include "declaration/Prompts.h"
#include "import/DiLicence.h"
#include "import/ImportCommon.h"
#include "lookups/Operations.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

// Under REQDIIMPO the parties come from the interno under which the DI was loaded. Returns false
// (flag set) when generation must stop.
bool chooseInterno(Runtime &rt, const QString &interno, QString &chosen)
{
    const QString processRC = GetDataFromDB(rt, QStringLiteral("ProcessRC"));
    bool tieneInfoDJAI = false;
    if (ExisteDI(rt, processRC, tieneInfoDJAI)) {
        rt.log.EscribirLog(QStringLiteral("existeDI ")
                           + (tieneInfoDJAI ? QStringLiteral("Tiene InfoDJAI")
                                            : QStringLiteral("NO Tiene InfoDJAI")));
        chosen = GetDataFromDB(rt, QStringLiteral("ProcessRC"));
        return true;
    }
    rt.log.EscribirLog(QStringLiteral("NO existeDI"));
    const QString again = GetDataFromDB(rt, QStringLiteral("ProcessRC"));
    if (!ExisteInternoEnCaldra(rt, again)) {
        showMissingProcessInterno(rt, again);
        rt.generacionCancelada = true;
        return false;
    }
    rt.log.EscribirLog(QStringLiteral("NoExisteInternoEnCaldra"));
    chosen = interno;
    return true;
}

}  // namespace

QString GetIMPOTAG_declarationEntity(Runtime &rt, const QString &interno, int item,
                                     const QString &invoiceNumber, const QString &preparedQuery)
{
    int line = 10;
    try {
        const QString element = partyElementName(item);

        // The interno required by the DI is checked on every call, also when a prepared query
        // (which names its own interno) is given.
        line = 20;
        QString chosen = interno;
        if (rt.cfg.REQDIIMPO) {
            line = 30;
            if (!chooseInterno(rt, interno, chosen))
                return {};
        }
        line = 40;
        const QString sql = preparedQuery.isEmpty() ? partyQuery(chosen, item, invoiceNumber) : preparedQuery;

        line = 50;
        Recordset rs;
        if (!openQuery(rt, QStringLiteral("INTERNOS"), sql, rs))
            return {};

        line = 60;
        return partyElements(rs, element);
    } catch (const B2DError &e) {
        reraise(e, ErrNo::Product, QStringLiteral("GetIMPOTAG_declarationEntity"), line);
    }
}

namespace {

constexpr long kSubscriptOutOfRange = 9;
const QString kSeparator = QStringLiteral("|||");

// "article|||invoice" -> the article line number in decimal and the invoice number. A failure's
// box shows the bare failure; the entry at fault goes to the run log.
void splitArticle(Runtime &rt, const QString &entry, QString &article, QString &invoice)
{
    const QStringList pieces = entry.split(kSeparator);
    if (pieces.size() < 2) {
        rt.log.EscribirLog(QStringLiteral("Subscript out of range: article entry \"") + entry
                           + QStringLiteral("\" has no \"|||\""));
        throw B2DError(kSubscriptOutOfRange, QStringLiteral("EntityQueryByITEM"),
                       QStringLiteral("Subscript out of range"));
    }
    bool ok = false;
    const qlonglong number = pieces.at(0).trimmed().toLongLong(&ok);
    if (!ok) {
        rt.log.EscribirLog(QStringLiteral("Type mismatch: article line \"") + pieces.at(0)
                           + QStringLiteral("\" is not a number"));
        throw B2DError(ErrNo::TypeMismatch, QStringLiteral("EntityQueryByITEM"),
                       QStringLiteral("Type mismatch"));
    }
    article = QString::number(number);
    invoice = pieces.at(1);
}

}  // namespace

QString EntityQueryByITEM(Runtime &rt, const QString &interno, const QStringList &articles)
{
    // The list is numbered from 1: an upper bound below 1 means no entry.
    if (articles.size() < 2)
        return {};

    int line = 10;
    try {
        QString filter;
        for (const QString &entry : articles) {
            if (entry.trimmed().isEmpty())
                continue;
            line = 20;
            QString article;
            QString invoice;
            splitArticle(rt, entry, article, invoice);
            filter += filter.isEmpty() ? QStringLiteral(" AND ((") : QStringLiteral(" OR (");
            filter += QStringLiteral("ITEMARTID=") + article + QStringLiteral(" AND INVOICENUMBER ='")
                + sqlQuote(invoice) + QStringLiteral("')");
        }
        if (!filter.isEmpty())
            filter += QLatin1Char(')');

        line = 30;
        const QString sql = partySelectColumns()
            + QStringLiteral(" FROM requestentitydvn WHERE INTNRO = '") + sqlQuote(interno)
            + QLatin1Char('\'') + filter + QStringLiteral(" order by RequestEntityID ASC");
        rt.log.EscribirLog(QStringLiteral("EntityQueryByItem :") + sql);
        return sql;
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("EntityQueryByITEM"), QStringLiteral("Mod_Main"),
                          QString::number(line));
        return {};
    }
}

}  // namespace b2d
