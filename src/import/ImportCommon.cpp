#include "import/ImportCommon.h"

#include "data/DataAccess.h"
#include "platform/Boxes.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

void traceDebug(Runtime &rt, const QString &line)
{
    if (rt.trazaDetallada)
        rt.log.EscribirLogDebug(line);
}

void showMissingProcessInterno(Runtime &rt, const QString &processRC)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString text = QStringLiteral("Interno ") + processRC
        + QStringLiteral(" no encontrado en el Velmora (Paso 1).") + crlf
        + QStringLiteral("La operación finalizará. ") + crlf + crlf
        + QStringLiteral("Genere dicho interno incorporando en el Paso 1 , el archivo \"DI\" "
                         "asociado a la \"IC\" ,")
        + crlf + QStringLiteral("posteriormente vuelva a generar el XML de la DI. ") + crlf;
    rt.boxes.inform(text, BoxIcon::Warning,
                    QStringLiteral("Requerimientos de generacion del DI incompleto."));
}

QString codigoArticulo(const Runtime &rt, const Recordset &articulos)
{
    const QString articulo = EsNulo(articulos.field(QStringLiteral("IDARTICULO")));
    if (rt.cfg.OMITIRCODIGOALTERNATIVO)
        return articulo;
    const QVariant alternativo = articulos.field(QStringLiteral("CODARTALTERNATIVO"));
    return alternativo.isNull() ? articulo : EsNulo(alternativo);
}

QString ceros(const QString &value, int digits)
{
    const NumberReading r = readNumberValue(value);
    if (r.kind != NumberKind::Number)
        return value;
    return formatMask(r.value, 0).rightJustified(digits, QLatin1Char('0'));
}

}  // namespace b2d
