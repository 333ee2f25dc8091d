#include "import/ImportProducts.h"

#include "data/DataAccess.h"
#include "declaration/Builders.h"
#include "declaration/Duties.h"
#include "declaration/Items.h"
#include "import/DiLicence.h"
#include "import/ImportCommon.h"
#include "import/ReferenceCodeDetail.h"
#include "lookups/CodeMappings.h"
#include "lookups/Operations.h"
#include "runtime/Errors.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");

QString text(const Recordset &rs, const char *column)
{
    return EsNulo(rs.field(QLatin1String(column)));
}

double number(Runtime &rt, const Recordset &rs, const char *column)
{
    return EsNumero(rt, text(rs, column));
}

// A figure formatted with seven decimals and read back: it keeps at most seven decimals.
double siete(Runtime &rt, double value)
{
    return EsNumero(rt, mask7(value).trimmed());
}

// The product reference code of the single article behind a subitem. False (flag set) when the
// interno the DI requires is missing.
bool codigoProducto(Runtime &rt, const ItemProductInput &in, const Recordset &articulos,
                    bool sinSubitems, QString &codigo)
{
    const QString otros = text(articulos, "OTROS");
    codigo = otros;
    bool tieneInfoDJAI = false;
    const RequisitoDI requisito = requisitoDI(rt, in.brokerReferenceCode, in.processReferenceCode,
                                              sinSubitems, tieneInfoDJAI);
    if (requisito != RequisitoDI::ConDI)
        return requisito == RequisitoDI::Cumplido;
    if (sinSubitems) {
        if (!rt.cfg.OMITIRRELACIONDJDI && !tieneInfoDJAI)
            codigo = Get_ProcessReferenceCode_DI(rt, otros);
        return true;
    }
    if (!ExisteInternoEnCaldra(rt, in.brokerReferenceCode)) {
        codigo = Get_ProcessReferenceCode_DI(rt, otros);
        return true;
    }
    rt.log.EscribirLog(QStringLiteral("pero tambien existe Interno en Caldra (lo priorizamos ... salvo "
                                      "que ignoremos relacion DJ_DI)"));
    if (in.processReferenceCode != in.brokerReferenceCode && !rt.cfg.OMITIRRELACIONDJDI
        && !tieneInfoDJAI)
        codigo = Get_ProcessReferenceCode_DI(rt, otros);
    return true;
}

QString gasto(const QString &tipo, double valor, const QString &moneda)
{
    return QStringLiteral("<productExpense>") + xmlElement(QStringLiteral("expenseType"), tipo)
        + xmlElement(QStringLiteral("expenseValue"), mask2(valor))
        + xmlElement(QStringLiteral("expenseCurrency"), moneda)
        + QStringLiteral("</productExpense>");
}

// The product elements of all subitems of one item; `sinSubitems` chooses the builder.
QString productos(Runtime &rt, const ItemProductInput &in, QStringList &articles, bool sinSubitems)
{
    const QString procedure = sinSubitems ? QStringLiteral("Getsubitemsinfo_sinsubitem_ex")
                                          : QStringLiteral("Getsubitemsinfo_ex");
    QString out;
    int line = 10;
    try {
        const QString columnas = sinSubitems
            ? QStringLiteral("SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,"
                             "MONTO_FOB_DOL,SUFIJOS_DE_VALOR,REFERENCIA")
            : QStringLiteral("SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,"
                             "MONTO_FOB_DOL,SUFIJOS_DE_VALOR,MONTO_FOB,REFERENCIA");
        const QString sql = columnas + QStringLiteral(" FROM ITEMS_SUBITEMS")
            + QStringLiteral(" WHERE IDN_DESPACHO = '") + sqlQuote(rt.Despacho) + QStringLiteral("'")
            + QStringLiteral(" AND IDN_ITEM = ") + in.itemNumber
            + (sinSubitems ? QString() : QStringLiteral(" order by nro_subitem"));
        Recordset subitems;
        if (!openQuery(rt, kHistorial, sql, subitems))
            return out;

        line = 20;
        if (sinSubitems)
            traceDebug(rt, QStringLiteral("En ITEM ") + in.itemNumber + QStringLiteral(" subitem ")
                               + text(subitems, "NRo_subitem") + QStringLiteral(" se encontro: ")
                               + QString::number(subitems.RecordCount()) + QStringLiteral(" articulos:"));
        else
            traceDebug(rt, QStringLiteral("EL ITEM ") + in.itemNumber + QStringLiteral(": contiene ")
                               + QString::number(subitems.RecordCount()) + QStringLiteral(" subitems."));

        const QString fobDivTexto = text(in.item, "Monto_Fob_Div");

        for (subitems.MoveFirst(); !subitems.EOF_(); subitems.MoveNext()) {
            line = 30;
            const QChar nl = QLatin1Char('\n');
            traceDebug(rt, QStringLiteral("ITEM: ") + text(subitems, "IDN_ITEM")
                               + QStringLiteral("SUBITEM: ") + text(subitems, "NRo_subitem") + nl
                               + QStringLiteral(" Cantidad Declarada: ")
                               + text(subitems, "CANTIDAD_DECLARADA") + nl
                               + (sinSubitems ? QStringLiteral(" MontoFobDol:")
                                              : QStringLiteral(" MontoFobDOL:"))
                               + text(subitems, "MONTO_FOB_DOL") + nl
                               + (sinSubitems ? QStringLiteral(" MontoFobDiv:") + fobDivTexto
                                              : QStringLiteral(" MontoFOBDIV:")
                                                    + text(subitems, "MONTO_FOB"))
                               + nl + QStringLiteral(" Sufijos:") + text(subitems, "SUFIJOS_DE_VALOR"));

            out += QStringLiteral("<declarationItemProduct>");
            line = 40;
            Recordset articulos;
            bool itemCompleto = false;
            out += GetIMPOTag_productReferenceCodeDetail(rt, in.item, subitems, in.brokerReferenceCode,
                                                         in.processReferenceCode, articles,
                                                         sinSubitems, articulos, itemCompleto);
            if (rt.generacionCancelada)
                return out;

            line = 50;
            const bool completo = !sinSubitems && itemCompleto;
            out += xmlElement(QStringLiteral("productSequenceNumber"),
                              completo ? QStringLiteral("0000") : text(subitems, "NRo_subitem"));
            const bool unArticulo = articulos.RecordCount() < 2;
            if (unArticulo)
                out += xmlElement(QStringLiteral("productPartNumber"),
                                  articulos.isOpen() ? codigoArticulo(rt, articulos) : QString());
            else
                articulos.MoveFirst();
            out += xmlElement(QStringLiteral("productDescription"),
                              articulos.isOpen() ? text(articulos, "DESCRIPCION") : QString());
            const double cantidad = number(rt, subitems, "CANTIDAD_DECLARADA");
            out += xmlElement(QStringLiteral("productQuantity"), mask7(cantidad).trimmed());
            out += xmlElement(QStringLiteral("productUnityFOBValue"),
                              mask7(number(rt, subitems, "PRECIO_UNITARIO")));
            const double fobDol = number(rt, subitems, "MONTO_FOB_DOL");
            out += xmlElement(QStringLiteral("productTotalFOBValue"),
                              sinSubitems ? mask2(EsNumero(rt, fobDivTexto)).trimmed() : mask7(fobDol));

            // The item's amounts carried to the subitem by its share of the item's FOB; a licence
            // item cancelled as a whole carries them in full, with or without subitems.
            line = 60;
            const double total = in.fobDiv;
            const double parte = itemCompleto ? total : fobDol;
            // An item without FOB has no shares: the division fails here, before any proration.
            if (total == 0)
                dividir(parte, total);
            // Each expense's type is mapped before its amount is carried to the product.
            auto gastoProrrateado = [&](const QString &concepto, const char *columna,
                                        const QString &moneda) {
                const QString tipo = ObtenerRelacionConcepto(rt, concepto);
                const double valor = CalcularProrrateo(rt, total, parte, number(rt, in.item, columna));
                return gasto(tipo, valor, moneda);
            };
            out += gastoProrrateado(QStringLiteral("FREIGHT"), "MONTO_FLETE", in.monedaFlete);
            out += gastoProrrateado(QStringLiteral("INSURANCE"), "MONTO_SEGURO", in.monedaSeguro);
            out += gastoProrrateado(QStringLiteral("AJUSTES A INCLUIR"), "AJUSTE_A_INCLUIR", in.monedaFob);
            out += gastoProrrateado(QStringLiteral("AJUSTES A DEDUCIR"), "AJUSTE_A_DEDUCIR", in.monedaFob);

            line = 70;
            double pesoNeto = in.netWeight;
            double pesoUnitario = 0;
            if (sinSubitems) {
                const double cifUnitario = EsNumero(rt, dividir(in.cif, in.cantidadDeclarada));
                out += xmlElement(QStringLiteral("productUnityCIFValue"),
                                  mask7(dividir(cifUnitario, in.rate)));
                out += xmlElement(QStringLiteral("productCIFValue"), mask2(dividir(in.cif, in.rate)));
                pesoUnitario = dividir(in.netWeight, in.cantidadDeclarada);
            } else {
                // The item's customs value, read for each product.
                const double valorAduana = EsNumero(rt, GetVALORENADUANAItem(rt, in.itemNumber));
                const double valor = dividir(valorAduana * parte, total);
                const double precio = number(rt, subitems, "PRECIO_UNITARIO");
                out += xmlElement(QStringLiteral("productUnityCIFValue"),
                                  mask2(dividir(valorAduana * precio, total)));
                out += xmlElement(QStringLiteral("productCIFValue"), mask2(valor));
                out += xmlElement(QStringLiteral("productCustomsValue"), mask2(valor));
                out += GetItemConceptos(rt, in.itemNumber, QString(), true);
                // The subitem's share of the item's net weight, and per unit of it.
                line = 80;
                pesoNeto = siete(rt, dividir(parte * in.netWeight, total));
                // A subitem without a share of the item's weight is a division failure as well.
                if (pesoNeto == 0)
                    dividir(cantidad, pesoNeto);
                pesoUnitario = siete(rt, dividir(pesoNeto, cantidad));
            }
            out += xmlElement(QStringLiteral("productUnityNetWeight"), mask7(pesoUnitario));
            out += xmlElement(QStringLiteral("productNetWeight"), mask2(pesoNeto));
            out += xmlElement(QStringLiteral("productUnityGrossWeight"), mask7(0));
            out += xmlElement(QStringLiteral("productGrossWeight"), mask2(0));

            line = 90;
            if (unArticulo) {
                QString codigo;
                if (articulos.isOpen() && !codigoProducto(rt, in, articulos, sinSubitems, codigo))
                    return out;
                out += xmlElement(QStringLiteral("productReferenceCode"), codigo);
            }
            out += xmlElement(QStringLiteral("productDJAINumber"), in.declaracionACancelar);
            out += QStringLiteral("<productDJAIItemNumber>") + xmlEscape(in.nroItemACancelar)
                + QStringLiteral("</productDJAIItemNumber> ");
            const QString referencia = text(subitems, "referencia");
            out += xmlElement(QStringLiteral("productDJAISubitemNumber"),
                              referencia.isEmpty() ? QStringLiteral("0000") : referencia);
            if (articulos.isOpen())
                traceDebug(rt, QLatin1Char('[') + ceros(QString::number(articulos.AbsolutePosition()), 3)
                                   + QStringLiteral("] PRC: ") + text(articulos, "OTROS")
                                   + QStringLiteral(" ART: ") + text(articulos, "IDARTICULO")
                                   + QStringLiteral(" CantDVN: ") + text(articulos, "CANTIDAD")
                                   + QStringLiteral(" CantSIM: ") + text(in.item, "CANTIDAD_DECLARADA"));
            out += QStringLiteral("</declarationItemProduct>");
        }
        return out;
    } catch (const B2DError &e) {
        reraise(e, ErrNo::Product, procedure, line);
    }
}

}  // namespace

QString Getsubitemsinfo_sinsubitem_ex(Runtime &rt, const ItemProductInput &in, QStringList &articles)
{
    return productos(rt, in, articles, true);
}

QString Getsubitemsinfo_ex(Runtime &rt, const ItemProductInput &in, QStringList &articles)
{
    return productos(rt, in, articles, false);
}

}  // namespace b2d
