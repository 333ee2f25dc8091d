#include "lookups/CodeMappings.h"

#include "data/DataAccess.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");

// The first row's column as text, or the empty text when the query found nothing.
QString firstValue(Runtime &rt, const QString &sql, const QString &column)
{
    Recordset rs;
    if (!openQuery(rt, kHistorial, sql, rs))
        return {};
    return EsNulo(rs.field(column));
}

}  // namespace

QString ObtenerRelacionConcepto(Runtime &rt, const QString &origen)
{
    if (rt.cfg.IGNORARRELACIONCONCEPTO)
        return origen;
    return firstValue(rt,
                      QStringLiteral("Select RelacionDestino From RelacionConceptos Where "
                                     "RelacionOrigen ='")
                          + sqlQuote(origen) + QStringLiteral("'"),
                      QStringLiteral("RelacionDestino"));
}

QString ObtenerRelacionMoneda(Runtime &rt, const QString &idSim)
{
    if (rt.cfg.IGNORARRELACIONMONEDA)
        return idSim;
    return firstValue(rt,
                      QStringLiteral("Select IDISO From RelacionMonedas Where IDSIM ='")
                          + sqlQuote(idSim) + QStringLiteral("'"),
                      QStringLiteral("IDISO"));
}

QString ObtenerRelacionPais(Runtime &rt, const QString &idSim)
{
    if (rt.cfg.IGNORARRELACIONPAIS)
        return idSim;
    return firstValue(rt,
                      QStringLiteral("Select IDISO From RelacionPaises Where IDSIM ='")
                          + sqlQuote(idSim) + QStringLiteral("'"),
                      QStringLiteral("IDISO"));
}

QString GetVariosRelacion(Runtime &rt, const QString &tipo, const QString &valor, bool &encontrado)
{
    encontrado = false;
    try {
        // The condition groups as written: (type and origin match) or the destination matches,
        // so a value that is already a destination value is found too.
        const QString sql = QStringLiteral("Select ValorDestino From RelacionVarios Where Tipo = '")
            + sqlQuote(tipo) + QStringLiteral("' AND ValorOrigen = '") + sqlQuote(valor)
            + QStringLiteral("' OR ValorDestino = '") + sqlQuote(valor) + QStringLiteral("'");
        Recordset rs;
        if (openQuery(rt, kHistorial, sql, rs)) {
            const QString result = EsNulo(rs.field(QStringLiteral("ValorDestino")));
            encontrado = true;
            return result;
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetVariosRelacion"), QStringLiteral("Mod_Main"));
        encontrado = false;
    }
    return valor;
}

}  // namespace b2d
