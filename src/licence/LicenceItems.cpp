#include "licence/LicenceItems.h"

#include "data/DataAccess.h"
#include "data/SuffixSorter.h"
#include "declaration/Items.h"
#include "declaration/SubitemLookups.h"
#include "licence/LicenceEntities.h"
#include "licence/LicenceValues.h"
#include "lookups/CodeTables.h"
#include "lookups/Currency.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");
const QString kInternos = QStringLiteral("INTERNOS");

QString masked7(Runtime &rt, const Recordset &rs, const char *column)
{
    return mask7(columnNumber(rt, rs, column));
}

// The tariff description of a position as a licence writes it: hyphens removed, then only
// digits, A to Z and Ñ kept (everything else a blank).
QString descripcionLicencia(Runtime &rt, const QString &posicion)
{
    QString description = GetNCMDescripcion(rt, posicion);
    description.remove(QLatin1Char('-'));
    return m_sVALSUF(description);
}

// A complementary-information date of the item, which every licence item must carry.
QString fechaComplementaria(Runtime &rt, const QString &item, const QString &code)
{
    return licenceDateTime(rt, requiredDate(GetInformacionComplementaria(rt, item, code)));
}

// The subitems of the current item; `sinSubitem` for an item without declared subitems, whose
// subitems carry the item's own values and come in the order the database gives them.
QString subitemElements(Runtime &rt, const Recordset &items, const QString &interno,
                        bool sinSubitem)
{
    const QString item = columnText(items, "NRo_item");
    QString sql = QStringLiteral(
                      "SELECT NRO_SUBITEM,IDN_ITEM,CANTIDAD_DECLARADA,PRECIO_UNITARIO,"
                      "MONTO_FOB_DOL,MONTO_FOB,SUFIJOS_DE_VALOR,REFERENCIA")
        + QStringLiteral(" FROM ITEMS_SUBITEMS") + QStringLiteral(" WHERE IDN_DESPACHO = '")
        + sqlQuote(rt.Despacho) + QStringLiteral("'") + QStringLiteral(" AND IDN_ITEM = ") + item;
    if (!sinSubitem)
        sql += QStringLiteral(" ORDER BY NRO_SUBITEM");
    Recordset subitems;
    if (!openQuery(rt, kHistorial, sql, subitems))
        return {};

    // An item without declared subitems gives each of its subitems its own values.
    const Recordset &values = sinSubitem ? items : subitems;
    QString out;
    for (; !subitems.EOF_(); subitems.MoveNext()) {
        const QString description = sinSubitem
            ? descripcionLicencia(rt, columnText(items, "POSICION_ARANCELARIA"))
            : GetInformacionComplementaria(rt, item, QStringLiteral("DJAI-DESC-MERC01"));
        out += QStringLiteral("<itemSubItem>");
        out += xmlElement("subItemLineNumber", columnText(subitems, "NRo_subitem"));
        out += xmlElement("subItemMeasureUnity", columnText(items, "Unidad_declarada"));
        out += xmlElement("subItemQuantity", masked7(rt, values, "CANTIDAD_DECLARADA"));
        out += xmlElement("subItemUnityPrice", masked7(rt, values, "PRECIO_UNITARIO"));
        out += xmlElement("subItemTotalPrice",
                          masked7(rt, values, sinSubitem ? "Monto_Fob_Div" : "Monto_Fob"));
        out += xmlElement("subItemDescription", description);
        out += DJAI_GetSubItemDetail(rt, items, subitems, interno, sinSubitem);
        out += QStringLiteral("</itemSubItem>");
    }
    return out;
}

}  // namespace

QString DJAI_GetLicenseItems(Runtime &rt, const QString &monedaFob, const QString &monedaFlete,
                             const QString &monedaSeguro, const QString &condicionVenta,
                             const QString &interno, const QString &extra1, const QString &extra2)
{
    const bool usd = monedaFob == QLatin1String("USD");
    Recordset items;
    openCheckedQuery(rt, kHistorial, itemsQuery(monedaFob, rt.Despacho, true), items);

    QString out;
    for (; !items.EOF_(); items.MoveNext()) {
        rt.progress(items.AbsolutePosition(), items.RecordCount());
        // The rate of the licence's currency is recorded again for every item. The CIF base
        // must hold a number, although no CIF value is written; the adjustments are read like
        // any amount (an item without adjustments sums to null, read as 0).
        if (usd) {
            requiredNumber(items.field(QStringLiteral("VALOR_CIF_ITEM")));
        } else {
            double rate = 0;
            EquivalenciaMonedas(rt, monedaFob, rate);
            requiredNumber(items.field(QStringLiteral("Bid")));
            EsNumero(rt, items.field(QStringLiteral("AAI")));
            EsNumero(rt, items.field(QStringLiteral("AAD")));
        }

        const QString item = columnText(items, "NRo_item");
        const QString posicion = columnText(items, "POSICION_ARANCELARIA");
        QString hts = posicion;
        hts.remove(QLatin1Char('.'));

        out += QStringLiteral("<licenseItem>");
        out += xmlElement("itemLineNumber", item);
        out += xmlElement("itemHTS", hts);
        out += xmlElement("itemMeasureUnity", columnText(items, "Unidad_declarada"));
        out += xmlElement("itemQuantity", masked7(rt, items, "CANTIDAD_DECLARADA"));
        out += xmlElement("itemCurrency", monedaFob);
        out += xmlElement("itemUnitPrice", masked7(rt, items, "PRECIO_UNITARIO"));
        out += xmlElement("itemTotalPrice", masked7(rt, items, "Monto_Fob_Div"));
        out += xmlElement("itemDescription", descripcionLicencia(rt, posicion));
        out += xmlElement("itemItemState",
                          ObtenerDescripcionCondicion(columnText(items, "ESTADO_MERCADERIA")));
        out += xmlElement("itemTotalWeight", masked7(rt, items, "PESO_NETO_KGR"));
        out += xmlElement("itemCountryofOrigin",
                          GetPaisNameFromID(rt, columnText(items, "PAIS_ORIGEN")));
        out += xmlElement("itemCountryofDeparture",
                          GetPaisNameFromID(rt, columnText(items, "PAIS_PROCEDENCIA")));
        out += xmlElement("itemDateShipmentForecast",
                          fechaComplementaria(rt, item, QStringLiteral("DJAI-FECHA-EMBAR")));
        out += xmlElement("itemDateArrivalForecast",
                          fechaComplementaria(rt, item, QStringLiteral("DJAI-FECHA-ARRIB")));
        out += xmlElement("itemFreightValue", masked7(rt, items, "MONTO_FLETE"));
        out += xmlElement("itemInsuranceValue", masked7(rt, items, "MONTO_SEGURO"));
        out += xmlElement("itemSurchargeValue", QStringLiteral("0.00000000"));
        out += xmlElement("itemDeductionValue", QStringLiteral("0.000000000"));
        if (columnText(items, "EXISTENCIA_SUBITEM") == QLatin1String("S"))
            out += DJAI_GetItemSubItems(rt, items, interno);
        else
            out += DJAI_GetItemSubItems_SinSubitem(rt, items, interno);
        out += QStringLiteral("<itemFlexField>") + DJAI_GetLicenseFlexField()
            + QStringLiteral("</itemFlexField>");
        out += QStringLiteral("</licenseItem>");
    }
    return out;
}

QString DJAI_GetItemSubItems(Runtime &rt, const Recordset &items, const QString &interno)
{
    return subitemElements(rt, items, interno, false);
}

QString DJAI_GetItemSubItems_SinSubitem(Runtime &rt, const Recordset &items,
                                        const QString &interno)
{
    return subitemElements(rt, items, interno, true);
}

QString DJAI_GetSubItemDetail(Runtime &rt, const Recordset &items, const Recordset &subitems,
                              const QString &interno, bool sinSubitem)
{
    const QString item = columnText(items, "NRo_item");
    const QString sql = QStringLiteral("SELECT Idarticulo, otros, cantidad, CodArtAlternativo  From SUBITEMS ")
        + QStringLiteral("WHERE Interno = '") + sqlQuote(interno) + QStringLiteral("' And ")
        + QStringLiteral("NroITEM = '") + sqlQuote(item) + QStringLiteral("'And ")
        + QStringLiteral("Sufijos = '") + sqlQuote(ordenarsufijos(columnText(subitems, "SUFIJOS_DE_VALOR")))
        + QStringLiteral("'") + QStringLiteral(" Order by OTROS ");
    Recordset articles;
    if (!openQuery(rt, kInternos, sql, articles))
        return {};

    // The declared quantity: the item's when it has no declared subitems, else the subitem's.
    const QVariant declared = (sinSubitem ? items : subitems).field(QStringLiteral("CANTIDAD_DECLARADA"));
    const bool single = articles.RecordCount() == 1;
    QString out;
    for (; !articles.EOF_(); articles.MoveNext()) {
        // The articles keep their own quantities only when they add up to the declared one;
        // otherwise each carries the whole declared quantity.
        QString quantity = numberText(declared);
        if (!single) {
            const double declarada = EsNumero(rt, declared);
            const double total = GetCantidadSubitem(rt, items, columnText(subitems, "NRo_subitem"), interno);
            if (declarada == total)
                quantity = numberText(articles.field(QStringLiteral("CANTIDAD")));
        }

        const QVariant alternative = articles.field(QStringLiteral("CODARTALTERNATIVO"));
        const QString partNumber = rt.cfg.OMITIRCODIGOALTERNATIVO || alternative.isNull()
            ? columnText(articles, "Idarticulo")
            : EsNulo(alternative);

        out += QStringLiteral("<subItemDetail>");
        out += xmlElement("itemDetailRequest", columnText(articles, "OTROS"));
        out += xmlElement("itemDetailQuantity", quantity);
        out += xmlElement("itemDetailPartNumber", partNumber);
        out += QStringLiteral("</subItemDetail>");
    }
    return out;
}

}  // namespace b2d
