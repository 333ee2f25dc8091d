#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace b2d {

class Recordset;
class Runtime;

// What the items section hands a product builder for one item: the item's row and the values
// read from it, the reference codes and the currencies of the declaration. The figures are the
// numbers themselves, as the items section computed them.
struct ItemProductInput {
    const Recordset &item;          // the items query, positioned on the item
    QString itemNumber;             // NRo_item
    QString declaracionACancelar;   // DECLARACION_A_CANCELAR
    QString nroItemACancelar;       // NRO_ITEM_A_CANCELAR
    double fobDiv = 0;              // Monto_Fob_Div, the item's FOB in the declared currency
    double netWeight = 0;           // PESO_NETO_KGR
    double cantidadDeclarada = 0;   // CANTIDAD_DECLARADA
    double cif = 0;                 // the item CIF written in declarationItemCIFValue
    double rate = 1;                // the FOB currency's rate to dollars (1 for "USD")
    QString brokerReferenceCode;
    QString processReferenceCode;
    QString monedaFob;
    QString monedaFlete;
    QString monedaSeguro;
};

// The builders that differ between import and export declarations. The sections shared by both
// (header, items) call them through this table; the program fills it with the import and export
// builders, and a test can put its own in. An empty product slot writes no product.
struct DeclarationBuilders {
    // The parties of the operation (item 0) or of an item's article lines.
    using EntityBuilder = std::function<QString(Runtime &rt, const QString &interno, int item,
                                                const QString &invoiceNumber,
                                                const QString &preparedQuery)>;
    EntityBuilder importEntity;
    EntityBuilder exportEntity;

    // The party query of several article lines ("article|||invoice" entries, slot 0 unused).
    using EntityQueryBuilder = std::function<QString(Runtime &rt, const QString &interno,
                                                     const QStringList &articles)>;
    EntityQueryBuilder importEntityQuery;

    // The products of one item. `articles` is the item's article list (slot 0 unused), emptied
    // by the items section before the call; a builder adds "article|||invoice" entries for the
    // article lines whose parties the item names.
    using ProductBuilder = std::function<QString(Runtime &rt, const ItemProductInput &in,
                                                 QStringList &articles)>;
    ProductBuilder importProductsWithSubitems;
    ProductBuilder importProductsWithoutSubitems;
    ProductBuilder exportProductsWithoutSubitems;

    // One product element of an export article (GetExpoTagDeclarationItemProduct): the item row,
    // the article rows positioned on the article, the subitem row, item number, currency, CIF
    // base, FOB amount, unit net weight, net weight, CIF value and whether the subitem groups
    // several articles.
    using ExportProductElement = std::function<QString(
        Runtime &rt, const Recordset &item, const Recordset &articles, const Recordset &subitem,
        const QString &itemNumber, const QString &currency, double cifBase, double fob,
        double unitNetWeight, double netWeight, double cif, bool grouped)>;
    ExportProductElement exportProductElement;
};

}  // namespace b2d
