#include "declaration/SubitemLookups.h"

#include "data/DataAccess.h"
#include "declaration/Builders.h"
#include "runtime/Errors.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");
const QString kInternos = QStringLiteral("INTERNOS");
const QString kModule = QStringLiteral("Mod_Varios");
constexpr int kMaxDescripcion = 4000;

// A number written with the mask "0000" (7 becomes 0007); a text that is not a number stays as
// it is.
QString fourDigits(const QString &value)
{
    const NumberReading r = readNumberValue(value);
    if (r.kind != NumberKind::Number)
        return value;
    const QString digits = formatMask(r.value, 0);
    if (digits.startsWith(QLatin1Char('-')))
        return QLatin1Char('-') + digits.mid(1).rightJustified(4, QLatin1Char('0'));
    return digits.rightJustified(4, QLatin1Char('0'));
}

}  // namespace

QString GetNCMDescripcion(Runtime &rt, const QString &posicion)
{
    int linea = 10;
    try {
        QString pos = posicion;
        pos.replace(QLatin1Char(','), QLatin1Char('.'));

        linea = 20;
        const QString sql =
            QStringLiteral("select [004] as desc1 ,[005] as desc2,[006] as desc3 ,[010] as desc4 "
                           "from ncm where ")
            + QStringLiteral(" [001] = '") + sqlQuote(pos.left(10)) + QStringLiteral("' and [002] = '")
            + sqlQuote(pos.mid(11, 3)) + QStringLiteral("'  and [003] = '") + sqlQuote(pos.right(1))
            + QStringLiteral("'");
        Recordset rs;
        if (!openQuery(rt, QStringLiteral("NCM"), sql, rs))
            return {};

        linea = 30;
        QString descripcion = columnText(rs, "desc1").trimmed() + QLatin1Char(' ')
            + columnText(rs, "desc2").trimmed() + QLatin1Char(' ') + columnText(rs, "desc3").trimmed()
            + QLatin1Char(' ') + columnText(rs, "desc4").trimmed();
        descripcion.replace(QLatin1Char('\r'), QLatin1Char(' '));
        return descripcion.left(kMaxDescripcion);
    } catch (const B2DError &e) {
        throw B2DError(ErrNo::Lookup,
                       QStringLiteral("[ getNCMDescripcion.clMain.getProcductInfo Linea ")
                           + QString::number(linea) + QStringLiteral(" ]"),
                       e.description());
    }
}

bool GetSubitemsByItem(Runtime &rt, QString &item, QString &subitem, const QString &interno,
                       Recordset &articles)
{
    bool found = false;
    try {
        item = fourDigits(item);
        subitem = fourDigits(subitem);
        const QString sql =
            QStringLiteral("Select IdArticulo,Descripcion,Cantidad,Otros,Factura_Nro, CodArtAlternativo ")
            + QStringLiteral("From Subitems ") + QStringLiteral("Where NROITEM = '") + sqlQuote(item)
            + QStringLiteral("' and NROSUBITEM = '") + sqlQuote(subitem)
            + QStringLiteral("' and Interno = '") + sqlQuote(interno)
            + QStringLiteral("' order by NROSUBITEM");
        found = openQuery(rt, kInternos, sql, articles);
        rt.trace(QStringLiteral("[GENERIC] - ITEM: ") + item + QStringLiteral(" SUBITEM: ") + subitem
                 + QStringLiteral(" agrupados ") + QString::number(articles.RecordCount())
                 + QStringLiteral(" arts."));
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetSubitemsByItem"), kModule);
    }
    return found;
}

QString GetSubitemInfo_V2(Runtime &rt, const DeclarationBuilders &builders, const QString &item,
                          double fobDiv, double cif, double netWeight,
                          const QString &brokerReferenceCode, double /*cantidadDeclarada*/,
                          const Recordset &itemRow, const QString & /*monedaFlete*/,
                          const QString & /*monedaSeguro*/, const QString &monedaFob)
{
    QString out;
    int linea = 10;
    try {
        const QString sql =
            QStringLiteral("SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,"
                           "MONTO_FOB_DOL,SUFIJOS_DE_VALOR,MONTO_FOB,REFERENCIA")
            + QStringLiteral(" FROM ITEMS_SUBITEMS") + QStringLiteral(" WHERE IDN_DESPACHO = '")
            + sqlQuote(rt.Despacho) + QStringLiteral("'") + QStringLiteral(" AND IDN_ITEM = ") + item
            + QStringLiteral(" order by nro_subitem");
        Recordset subitems;
        linea = 20;
        if (!openQuery(rt, kHistorial, sql, subitems))
            return out;
        while (!subitems.EOF_()) {
            // The subitem's share of the item's net weight, kept with seven decimals.
            linea = 30;
            const double fobDol = EsNumero(rt, subitems.field(QStringLiteral("MONTO_FOB_DOL")));
            const double neto = keepSevenDecimals(dividir(fobDol * netWeight, fobDiv));

            linea = 40;
            QString itemNumber = columnText(subitems, "IDN_ITEM");
            QString subitemNumber = columnText(subitems, "NRo_subitem");
            Recordset articles;
            GetSubitemsByItem(rt, itemNumber, subitemNumber, brokerReferenceCode, articles);
            const bool agrupado = articles.RecordCount() > 1;

            for (; !articles.EOF_(); articles.MoveNext()) {
                // Unit net weight: the share divided by the subitem's declared quantity. A
                // subitem without a share of the item's net weight is a division failure too.
                linea = 50;
                const double cantidad =
                    EsNumero(rt, subitems.field(QStringLiteral("CANTIDAD_DECLARADA")));
                if (neto == 0)
                    dividir(cantidad, neto);
                const double netoUnitario = keepSevenDecimals(dividir(neto, cantidad));
                linea = 60;
                if (builders.exportProductElement)
                    out += builders.exportProductElement(rt, itemRow, articles, subitems, item,
                                                         monedaFob, fobDiv, fobDol, netoUnitario,
                                                         neto, cif, agrupado);
            }
            subitems.MoveNext();
        }
    } catch (const B2DError &e) {
        throw B2DError(ErrNo::Lookup,
                       QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(" (")
                           + e.description() + QStringLiteral(")") + QLatin1Char('\n')
                           + QStringLiteral("in procedure GetSubitemInfo_V2 of Módulo Mod_Varios - ")
                           + QString::number(linea),
                       e.description());
    }
    return out;
}

QString GetTotalDollarPrice(Runtime &rt, const QString &moneda, const QString &despacho)
{
    QString out = QStringLiteral("0.00");
    const QString sql = moneda != QLatin1String("DOL")
        ? QStringLiteral("SELECT SUM(CAST(MONTO_FOB_DOL as FLOAT)) as TotalDollarPrice ")
            + QStringLiteral("FROM ITEMS_ARTICULOS where IDN_DESPACHO = '") + sqlQuote(despacho)
            + QStringLiteral("'")
        : QStringLiteral("SELECT MONTO_FOB  as TotalDollarPrice ")
            + QStringLiteral("FROM CARATULA_CARATULA where DESPACHO = '") + sqlQuote(despacho)
            + QStringLiteral("'");
    Recordset rs;
    if (openQuery(rt, kHistorial, sql, rs)) {
        // The value's text with the mask; a text that is no number (a null sum) stays as it is.
        const QVariant v = rs.field(QStringLiteral("TotalDollarPrice"));
        const NumberReading r = readNumberValue(v);
        out = r.kind == NumberKind::Number ? mask2(r.value) : EsNulo(v).trimmed();
    }
    return out;
}

double GetCantidadSubitem(Runtime &rt, const Recordset &itemRow, const QString &subitem,
                          const QString &interno)
{
    const QString sql = QStringLiteral("SELECT SUM(CANTIDAD) as CANTIDAD From SUBITEMS ")
        + QStringLiteral("WHERE Interno = '") + sqlQuote(interno) + QStringLiteral("' And ")
        + QStringLiteral("NroITEM = '") + sqlQuote(columnText(itemRow, "NRo_item")) + QStringLiteral("' And ")
        + QStringLiteral("NroSUBITEM = '") + sqlQuote(subitem) + QStringLiteral("'");
    Recordset rs;
    if (!openQuery(rt, kInternos, sql, rs))
        return 0;
    return EsNumero(rt, rs.field(QStringLiteral("CANTIDAD")));
}

}  // namespace b2d
