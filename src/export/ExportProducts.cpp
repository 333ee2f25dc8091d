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

// An item figure read with the point as its decimal separator. A null or a text that is no
// number cannot be converted: a type mismatch, passed on like any other failure (the column and
// its value go to the run log).
double itemFigure(Runtime &rt, const Recordset &item, const char *column)
{
    const QVariant value = item.field(QLatin1String(column));
    const NumberReading r = readNumberValue(EsNulo(value));
    if (r.kind != NumberKind::Number) {
        rt.log.EscribirLog(QStringLiteral("Type mismatch: %1 = \"%2\" is not a number")
                               .arg(QLatin1String(column), EsNulo(value)));
        throw B2DError(ErrNo::TypeMismatch, QLatin1String(kAppName), QStringLiteral("Type mismatch"));
    }
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
    return columnText(articles, "Idarticulo");
}

// The opening elements every product of an article shares up to its part number.
QString productHead(const Runtime &rt, const Recordset &articles, const Recordset &subitem)
{
    return QStringLiteral("<declarationItemProduct>")
        + xmlElement("invoiceReferenceCode", columnText(articles, "factura_nro"))
        + xmlElement("productSequenceNumber", columnText(subitem, "NRo_subitem"))
        + xmlElement("productPartNumber", partNumber(rt, articles));
}

}  // namespace

QString GetEXPOTag_SubItemInfo_SinSubitem_EX(Runtime &rt, const QString &itemNumber,
                                             const QString &interno, const Recordset &itemRow,
                                             double cif, const QString &currency, double factor)
{
    QString out;
    int linea = 10;
    try {
        const double itemFob = itemFigure(rt, itemRow, "Monto_Fob_Div");
        const double itemNeto = itemFigure(rt, itemRow, "PESO_NETO_KGR");

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
        rt.log.EscribirLog(QStringLiteral("En ITEM ") + columnText(subitems, "IDN_ITEM")
                           + QStringLiteral(" subitem ") + columnText(subitems, "NRo_subitem")
                           + QStringLiteral(" se encontro: ")
                           + QString::number(subitems.RecordCount()) + QStringLiteral(" articulos:"));

        while (!subitems.EOF_()) {
            linea = 40;
            const double cantidad = columnNumber(rt, itemRow, "CANTIDAD_DECLARADA");
            const double cifUnitario = dividir(cif, cantidad);
            const double netoUnitario = dividir(itemNeto, cantidad);

            linea = 50;
            QString item = columnText(subitems, "IDN_ITEM");
            QString subitem = columnText(subitems, "NRo_subitem");
            Recordset articles;
            GetSubitemsByItem(rt, item, subitem, interno, articles);

            if (articles.RecordCount() < 2) {
                // The article stands for the whole item.
                linea = 60;
                articles.MoveFirst();
                const double precio = columnNumber(rt, itemRow, "PRECIO_UNITARIO");
                const double fob = columnNumber(rt, itemRow, "Monto_Fob_Div");
                out += productHead(rt, articles, subitems)
                    + xmlElement("productDescription", columnText(articles, "DESCRIPCION"))
                    + xmlElement("productQuantity", mask7(cantidad))
                    + xmlElement("productUnityFOBValue", mask7(precio))
                    + xmlElement("productTotalFOBValue", mask2(fob))
                    + xmlElement("productUnityCIFValue", mask7(dividir(cifUnitario, factor)))
                    + xmlElement("productCIFValue", mask2(dividir(cif, factor)))
                    + xmlElement("productCustomsValue", QString());
                linea = 70;
                out += GetItemConceptos(rt, columnText(itemRow, "NRo_item"), currency, true);
                linea = 80;
                out += xmlElement("productUnityNetWeight", mask7(netoUnitario))
                    + xmlElement("productNetWeight", mask2(itemNeto))
                    + xmlElement("productUnityGrossWeight", mask7(0)) + xmlElement("productGrossWeight", mask2(0))
                    + xmlElement("productReferenceCode", columnText(articles, "OTROS"))
                    + QStringLiteral("</declarationItemProduct>");
            } else {
                linea = 90;
                rt.log.EscribirLog(QStringLiteral("[EXPO] - ITEM: ") + columnText(subitems, "IDN_ITEM")
                                   + QStringLiteral(" SUBITEM: ") + columnText(subitems, "NRo_subitem")
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
            + xmlElement("productDescription", columnText(articles, "DESCRIPCION") + QLatin1Char(' ')
                                                   + columnText(articles, "OTROS"));

        // Grouped: the article's share of the FOB amount, by quantity, and the weights with it.
        // Not grouped: the subitem's own quantity and price, the amounts as given.
        double cantidad = 0;
        double amount = fob;
        double net = netWeight;
        if (grouped) {
            linea = 20;
            const double cantidadItem = columnNumber(rt, itemRow, "CANTIDAD_DECLARADA");
            cantidad = columnNumber(rt, articles, "CANTIDAD");
            amount = CalcularProrrateo(rt, cantidadItem, fob, cantidad);
            net = CalcularProrrateo(rt, fob, netWeight, amount);
        } else {
            cantidad = columnNumber(rt, subitem, "CANTIDAD_DECLARADA");
        }
        const double precio = columnNumber(rt, grouped ? itemRow : subitem, "PRECIO_UNITARIO");

        linea = 30;
        const double cifShare = dividir(amount * cif, cifBase);
        const double cifUnitario = dividir(dividir(amount * cif, cifBase) * precio, amount);

        QString unitGross = mask7(0);
        QString gross = mask2(0);
        if (grouped) {
            // The item's gross weight is looked up for each of the two gross-weight elements.
            linea = 40;
            const QString item = columnText(itemRow, "NRo_item");
            const double grossShare =
                CalcularProrrateo(rt, fob, EsNumero(rt, GetKILOBRUTOItem(rt, item)), amount);
            unitGross = plainNumber(dividir(keepSevenDecimals(grossShare), cantidad));
            gross = mask2(CalcularProrrateo(rt, fob, EsNumero(rt, GetKILOBRUTOItem(rt, item)), amount));
        }

        linea = 50;
        out += xmlElement("productQuantity", mask7(cantidad))
            + xmlElement("productUnityFOBValue", mask7(precio))
            + xmlElement("productTotalFOBValue", mask7(amount))
            + xmlElement("productUnityCIFValue", mask2(cifUnitario))
            + xmlElement("productCIFValue", mask2(cifShare))
            + xmlElement("productCustomsValue", mask2(cifShare))
            + xmlElement("productUnityNetWeight", mask7(unitNetWeight))
            + xmlElement("productNetWeight", mask2(net))
            + xmlElement("productUnityGrossWeight", unitGross) + xmlElement("productGrossWeight", gross);

        linea = 60;
        out += xmlElement("productReferenceCode", columnText(articles, "OTROS"));
        out += GetItemConceptosProrrateados(rt, itemNumber, currency, cifBase, amount);
        out += QStringLiteral("</declarationItemProduct>");
        return out;
    } catch (const B2DError &e) {
        reraise(e, ErrNo::Product, QStringLiteral("GetExpoTagDeclarationItemProduct of Módulo Mod_EXPO"),
                linea);
    }
}

}  // namespace b2d
