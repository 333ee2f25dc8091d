// The builders table the program composes: the items section reaches the import product
// builders through it, and what they put in the article list becomes the item's parties.

#include "support/TestSupport.h"

#include "app/Builders.h"
#include "declaration/Items.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

TEST(Builders, ImportProductsFillTheArticleListOfTheItemsParties)
{
    // An item without subitems whose DI lines, under OMITIRRELACIONDJDI, are the licence lines
    // of the DI loaded under DI-1: both match the declared quantity and name their order lines.
    TestRun t;
    t.rt.Despacho = u"19001IC04000123A"_s;
    t.rt.subregimen = u"I"_s;
    t.rt.cfg.OMITIRRELACIONDJDI = true;
    t.rt.cfg.IGNORARRELACIONCONCEPTO = true;
    t.data.onContains(u"HISTORIAL"_s, u"ORDER BY NRO_ITEM"_s,
                      rows({u"NRO_ITEM"_s, u"POSICION_ARANCELARIA"_s, u"CANTIDAD_ESTADISTICA"_s,
                            u"UNIDAD_ESTADISTICA"_s, u"MONTO_FOB_DIV"_s, u"MONTO_FOB_DOL"_s,
                            u"MONTO_FLETE"_s, u"MONTO_SEGURO"_s, u"AJUSTE_A_INCLUIR"_s,
                            u"AJUSTE_A_DEDUCIR"_s, u"PESO_NETO_KGR"_s, u"EXISTENCIA_SUBITEM"_s,
                            u"CANTIDAD_DECLARADA"_s, u"PRECIO_UNITARIO"_s,
                            u"DECLARACION_A_CANCELAR"_s, u"NRO_ITEM_A_CANCELAR"_s, u"IDN_DESPACHO"_s},
                           {{u"0001"_s, u"8471.30.12.100A"_s, 5, u"07"_s, 500, 500, 10, 2, 0, 0, 5,
                             u"N"_s, 5, 100, u"DJ-1"_s, u"0003"_s, u"19001IC04000123A"_s}}));
    t.data.onContains(u"HISTORIAL"_s, u"FROM ITEMS_SUBITEMS"_s,
                      rows({u"NRO_SUBITEM"_s, u"IDN_ITEM"_s, u"CANTIDAD_DECLARADA"_s,
                            u"PRECIO_UNITARIO"_s, u"MONTO_FOB_DOL"_s, u"SUFIJOS_DE_VALOR"_s,
                            u"REFERENCIA"_s},
                           {{u"0000"_s, 1, 5, 100, 500, u"AA(X)"_s, u"0001"_s}}));
    t.data.onContains(u"INTERNOS"_s, u"ARTNRO as IDARTICULO"_s,
                      rows({u"IDARTICULO"_s, u"OTROS"_s, u"CANTIDAD"_s, u"CODARTALTERNATIVO"_s,
                            u"IDEXT"_s, u"FACTURA_NRO"_s, u"DESCRIPCION"_s, u"NROSUBITEM"_s},
                           {{u"A1"_s, u"R1"_s, 2, QVariant(), 7, u"DI'INV"_s, u"Uno"_s, u"0001"_s},
                            {u"A2"_s, u"R2"_s, 3, QVariant(), 8, u"DI'INV"_s, u"Dos"_s, u"0001"_s}}));
    t.data.onContains(u"INTERNOS"_s, u"SUM(CANTIDAD)"_s, rows({u"CANTIDAD"_s}, {{5}}));
    t.data.onContains(u"INTERNOS"_s, u"requestentitydvn"_s,
                      rows({u"entityType"_s, u"entityReferenceCode"_s, u"entityName"_s,
                            u"entityCountry"_s, u"entityAddress"_s, u"entityCity"_s,
                            u"entityState"_s, u"entityPostalCode"_s, u"entityPhone"_s,
                            u"RequestEntityID"_s},
                           {{u"MANUFACTURER"_s, u"M-1"_s, u"Maker"_s, u"CN"_s, u"a"_s, u"b"_s,
                             u"c"_s, u"d"_s, u"e"_s, 1}}));

    const QString xml = GetItemInfo(t.rt, declarationBuilders(), u"USD"_s, u"USD"_s, u"USD"_s,
                                    u"FOB"_s, u"19-0412"_s, u"I"_s, u"DI-1"_s);

    EXPECT_EQ(t.data.statements(u"INTERNOS"_s).filter(u"requestentitydvn"_s),
              QStringList{u"SELECT DISTINCT entityType,entityReferenceCode,entityName,entityCountry,"
                          u"entityAddress,entityCity,entityState,entityPostalCode,entityPhone,"
                          u"RequestEntityID FROM requestentitydvn WHERE INTNRO = '19-0412' AND "
                          u"((ITEMARTID=7 AND INVOICENUMBER ='DI''INV') OR (ITEMARTID=8 AND "
                          u"INVOICENUMBER ='DI''INV')) order by RequestEntityID ASC"_s});
    EXPECT_TRUE(xml.contains(u"</productDJAISubitemNumber></declarationItemProduct>"
                             u"<declarationEntity><entityType>MANUFACTURER</entityType>"_s))
        << xml.toStdString();
    EXPECT_EQ(xml.count(u"<productReferenceCodeDetail>"_s), 2);
}
