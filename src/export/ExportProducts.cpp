#include "export/ExportProducts.h"

#include "data/DataAccess.h"
#include "declaration/Duties.h"
#include "declaration/Items.h"
#include "declaration/SubitemLookups.h"
#include "runtime/Errors.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

QString text(const Recordset &rs, const char *column)
{
    return EsNulo(rs.field(QLatin1String(column)));
}

double number(Runtime &rt, const Recordset &rs, const char *column)
{
    return EsNumero(rt, rs.field(QLatin1String(column)));
}

QString el(const char *tag, const QString &value)
{
    return xmlElement(QLatin1String(tag), value);
}

// An item figure read with the point as its decimal separator. A null or a text that is no
// number cannot be converted: a type mismatch, passed on like any other failure.
double itemFigure(const Recordset &item, const char *column)
{
    const QVariant value = item.field(QLatin1String(column));
    const NumberReading r = readNumberValue(EsNulo(value));
    if (r.kind != NumberKind::Number)
        throw B2DError(ErrNo::TypeMismatch, QLatin1String(kAppName),
                       QStringLiteral("Type mismatch (%1 = \"%2\")")
                           .arg(QLatin1String(column), EsNulo(value)));
    return r.value;
}

// The article's part number: its own code when OMITIRCODIGOALTERNATIVO is set or it has no
// alternative code (null); else the alternative code, even when empty.
QString partNumber(const Runtime &rt, const Recordset &articles)
{
    if (!rt.cfg.OMITIRCODIGOALTERNATIVO) {
        const QVariant alternativo = articles.field(QStringLiteral("CODARTALTERNATIVO"));
        if (!alternativo.isNull())
            return EsNulo(alternativo);
    }
    return text(articles, "Idarticulo");
}

// The opening elements every product of an article shares up to its part number.
QString productHead(const Runtime &rt, const Recordset &articles, const Recordset &subitem)
{
    return QStringLiteral("<declarationItemProduct>")
        + el("invoiceReferenceCode", text(articles, "factura_nro"))
        + el("productSequenceNumber", text(subitem, "NRo_subitem"))
        + el("productPartNumber", partNumber(rt, articles));
}

}  // namespace

QString GetEXPOTag_SubItemInfo_SinSubitem_EX(Runtime &rt, const QString &itemNumber,
                                             const QString &interno, const Recordset &itemRow,
                                             double cif, const QString &currency, double factor)
{
    QString out;
    int linea = 10;
    try {
        const double itemFob = itemFigure(itemRow, "Monto_Fob_Div");
        const double itemNeto = itemFigure(itemRow, "PESO_NETO_KGR");

        linea = 20;
        const QString sql =
            QStringLiteral("SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,"
                           "MONTO_FOB_DOL,SUFIJOS_DE_VALOR,REFERENCIA")
            + QStringLiteral(" FROM ITEMS_SUBITEMS") + QStringLiteral(" WHERE IDN_DESPACHO = '")
            + sqlQuote(rt.Despacho) + QStringLiteral("'") + QStringLiteral(" AND IDN_ITEM = ")
            + itemNumber;
        Recordset subitems;
        if (!openQuery(rt, QStringLiteral("HISTORIAL"), sql, subitems))
            return out;

        linea = 30;
        rt.log.EscribirLog(QStringLiteral("En ITEM ") + text(subitems, "IDN_ITEM")
                           + QStringLiteral(" subitem ") + text(subitems, "NRo_subitem")
                           + QStringLiteral(" se encontro: ")
                           + QString::number(subitems.RecordCount()) + QStringLiteral(" articulos:"));

        while (!subitems.EOF_()) {
            linea = 40;
            const double cantidad = number(rt, itemRow, "CANTIDAD_DECLARADA");
            const double cifUnitario = dividir(cif, cantidad);
            const double netoUnitario = dividir(itemNeto, cantidad);

            linea = 50;
            QString item = text(subitems, "IDN_ITEM");
            QString subitem = text(subitems, "NRo_subitem");
            Recordset articles;
            GetSubitemsByItem(rt, item, subitem, interno, articles);

            if (articles.RecordCount() < 2) {
                // The article stands for the whole item.
                linea = 60;
                articles.MoveFirst();
                out += productHead(rt, articles, subitems)
                    + el("productDescription", text(articles, "DESCRIPCION"))
                    + el("productQuantity", mask7(cantidad))
                    + el("productUnityFOBValue", mask7(number(rt, itemRow, "PRECIO_UNITARIO")))
                    + el("productTotalFOBValue", mask2(number(rt, itemRow, "Monto_Fob_Div")))
                    + el("productUnityCIFValue", mask7(dividir(cifUnitario, factor)))
                    + el("productCIFValue", mask2(dividir(cif, factor)))
                    + el("productCustomsValue", QString());
                linea = 70;
                out += GetItemConceptos(rt, text(itemRow, "NRo_item"), currency, true);
                linea = 80;
                out += el("productUnityNetWeight", mask7(netoUnitario))
                    + el("productNetWeight", mask2(itemNeto))
                    + el("productUnityGrossWeight", mask7(0)) + el("productGrossWeight", mask2(0))
                    + el("productReferenceCode", text(articles, "OTROS"))
                    + QStringLiteral("</declarationItemProduct>");
            } else {
                linea = 90;
                rt.log.EscribirLog(QStringLiteral("[EXPO] - ITEM: ") + text(subitems, "IDN_ITEM")
                                   + QStringLiteral(" SUBITEM: ") + text(subitems, "NRo_subitem")
                                   + QStringLiteral(" agrupados ")
                                   + QString::number(articles.RecordCount())
                                   + QStringLiteral(" arts."));
                for (; !articles.EOF_(); articles.MoveNext())
                    out += GetExpoTagDeclarationItemProduct(rt, itemRow, articles, subitems,
                                                            itemNumber, currency, itemFob, itemFob,
                                                            netoUnitario, itemNeto, cif, true);
            }
            subitems.MoveNext();
        }
    } catch (const B2DError &e) {
        throw B2DError(ErrNo::Product,
                       QStringLiteral("GetEXPOTag_SubItemInfo_SinSubitem_EX linea ")
                           + QString::number(linea) + QStringLiteral("::") + e.source(),
                       e.description() + QStringLiteral("\r\n"));
    }
    return out;
}

QString GetExpoTagDeclarationItemProduct(Runtime &rt, const Recordset &itemRow,
                                         const Recordset &articles, const Recordset &subitem,
                                         const QString &itemNumber, const QString &currency,
                                         double cifBase, double fob, double unitNetWeight,
                                         double netWeight, double cif, bool grouped)
{
    int linea = 10;
    try {
        QString out = productHead(rt, articles, subitem)
            + el("productDescription",
                 text(articles, "DESCRIPCION") + QLatin1Char(' ') + text(articles, "OTROS"));

        double fobShare = fob;
        if (grouped) {
            // The article's share of the FOB amount, by quantity; the weights go with it.
            linea = 20;
            const double cantidadItem = number(rt, itemRow, "CANTIDAD_DECLARADA");
            const double cantidadArticulo = number(rt, articles, "CANTIDAD");
            fobShare = CalcularProrrateo(rt, cantidadItem, fob, cantidadArticulo);
            const double netShare = CalcularProrrateo(rt, fob, netWeight, fobShare);
            const double precio = number(rt, itemRow, "PRECIO_UNITARIO");

            linea = 30;
            const double cifShare = dividir(fobShare * cif, cifBase);
            const double cifUnitario = dividir(dividir(fobShare * cif, cifBase) * precio, fobShare);

            linea = 40;
            const QString item = text(itemRow, "NRo_item");
            const double grossShare =
                CalcularProrrateo(rt, fob, EsNumero(rt, GetKILOBRUTOItem(rt, item)), fobShare);
            const double grossUnitario =
                dividir(keepSevenDecimals(grossShare), cantidadArticulo);
            const double grossShare2 =
                CalcularProrrateo(rt, fob, EsNumero(rt, GetKILOBRUTOItem(rt, item)), fobShare);

            linea = 50;
            out += el("productQuantity", mask7(cantidadArticulo))
                + el("productUnityFOBValue", mask7(precio))
                + el("productTotalFOBValue", mask7(fobShare))
                + el("productUnityCIFValue", mask2(cifUnitario))
                + el("productCIFValue", mask2(cifShare))
                + el("productCustomsValue", mask2(cifShare))
                + el("productUnityNetWeight", mask7(unitNetWeight))
                + el("productNetWeight", mask2(netShare))
                + el("productUnityGrossWeight", plainNumber(grossUnitario))
                + el("productGrossWeight", mask2(grossShare2));
        } else {
            linea = 60;
            const double precio = number(rt, subitem, "PRECIO_UNITARIO");
            const double cifShare = dividir(fob * cif, cifBase);
            const double cifUnitario = dividir(dividir(fob * cif, cifBase) * precio, fob);

            linea = 70;
            out += el("productQuantity", mask7(number(rt, subitem, "CANTIDAD_DECLARADA")))
                + el("productUnityFOBValue", mask7(precio))
                + el("productTotalFOBValue", mask7(fob))
                + el("productUnityCIFValue", mask2(cifUnitario))
                + el("productCIFValue", mask2(cifShare))
                + el("productCustomsValue", mask2(cifShare))
                + el("productUnityNetWeight", mask7(unitNetWeight))
                + el("productNetWeight", mask2(netWeight))
                + el("productUnityGrossWeight", mask7(0)) + el("productGrossWeight", mask2(0));
        }

        linea = 80;
        out += el("productReferenceCode", text(articles, "OTROS"));
        out += GetItemConceptosProrrateados(rt, itemNumber, currency, cifBase, fobShare);
        out += QStringLiteral("</declarationItemProduct>");
        return out;
    } catch (const B2DError &e) {
        reraise(e, ErrNo::Product, QStringLiteral("GetExpoTagDeclarationItemProduct of Módulo Mod_EXPO"),
                linea);
    }
}

}  // namespace b2d
