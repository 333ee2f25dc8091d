#include "lookups/Currency.h"

#include "data/DataAccess.h"
#include "lookups/CodeMappings.h"
#include "runtime/Errors.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {
const QString kModMain = QStringLiteral("Mod_Main");
const QString kHistorial = QStringLiteral("HISTORIAL");
}  // namespace

QString EquivalenciaMonedas(Runtime &rt, const QString &code, double &rate)
{
    QString result;
    int line = 1;
    try {
        if (code == QLatin1String("DOL") || code == QLatin1String("USD") || code.isEmpty()) {
            rate = 1.0;
            result = rt.cfg.IGNORARRELACIONMONEDA ? code : QStringLiteral("USD");
            return result;
        }
        line = 2;
        const QString rateText = ObtenerTipoDeCambio(rt, code, rt.Despacho);
        line = 3;
        rate = EsNumero(rt, rateText);
        line = 4;
        SetDBDivisaConv(rt, code, rateText);
        line = 5;
        result = ObtenerRelacionMoneda(rt, code);
    } catch (const B2DError &e) {
        showLineError(rt, e, QStringLiteral("EquivalenciaMonedas"), kModMain, line);
    }
    return result;
}

QString ObtenerTipoDeCambio(Runtime &rt, const QString &code, const QString &despacho)
{
    // The rate is the declaration's FOB in dollars over its FOB in the declared currency, over
    // all its item rows.
    const QString sql =
        QStringLiteral("SELECT  SUM(CAST(MONTO_FOB_DOL as FLOAT)) / SUM(CAST(MONTO_FOB_DIV as "
                       "FLOAT)) as TipoDeCambio ")
        + QStringLiteral("FROM ITEMS_ARTICULOS where IDN_DESPACHO = '") + sqlQuote(despacho)
        + QStringLiteral("'");
    Recordset rs;
    if (!openQuery(rt, kHistorial, sql, rs))
        return {};
    const QVariant v = rs.field(QStringLiteral("TipoDeCambio"));
    const NumberReading r = readNumberValue(v);
    if (r.kind == NumberKind::Number)
        return mask2(r.value);
    return EsNulo(v).trimmed();
}

void SetDBDivisaConv(Runtime &rt, const QString &code, const QString &rateText)
{
    int line = 1;
    try {
        const bool exists = ExistDBDivisaConv(rt, code);
        line = 2;
        QString rate = rateText.trimmed();
        rate.replace(QLatin1Char(','), QLatin1Char('.'));
        line = 3;
        QString sql;
        if (exists) {
            sql = QStringLiteral("Update Despacho_TiposCambio Set Valor ='") + QStringLiteral("0")
                + sqlQuote(rate) + QStringLiteral("' Where Moneda = '") + sqlQuote(code)
                + QStringLiteral("' AND Despacho = '") + sqlQuote(rt.Despacho)
                + QStringLiteral("'");
        } else {
            sql = QStringLiteral("Insert INTO Despacho_TiposCambio (Moneda,Despacho,Valor) Values('")
                + sqlQuote(code) + QStringLiteral("','") + sqlQuote(rt.Despacho)
                + QStringLiteral("','") + QStringLiteral("0") + sqlQuote(rate)
                + QStringLiteral("')");
        }
        line = 4;
        runStatement(rt, kHistorial, sql);
    } catch (const B2DError &e) {
        showLineError(rt, e, QStringLiteral("SetDBDivisaConv"), kModMain, line);
    }
}

bool ExistDBDivisaConv(Runtime &rt, const QString &code)
{
    try {
        Recordset rs;
        return openQuery(rt, kHistorial,
                         QStringLiteral("Select Moneda From Despacho_TiposCambio Where Moneda ='")
                             + sqlQuote(code) + QStringLiteral("' AND Despacho ='")
                             + sqlQuote(rt.Despacho) + QStringLiteral("'"),
                         rs);
    } catch (const B2DError &e) {
        showLineError(rt, e, QStringLiteral("ExistDBDivisaConv"), kModMain, 1);
        return false;
    }
}

}  // namespace b2d
