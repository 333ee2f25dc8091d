#include "support/TestSupport.h"

#include "import/ReferenceCodeDetail.h"
#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace Qt::StringLiterals;
using b2d::test::TestRun;

namespace {

const QString kInternos = u"INTERNOS"_s;
const QString kHistorial = u"HISTORIAL"_s;
const QStringList kArticleColumns{u"Idarticulo"_s, u"otros"_s, u"cantidad"_s,
                                  u"CodArtAlternativo"_s, u"idext"_s, u"factura_nro"_s,
                                  u"descripcion"_s, u"NROSUBITEM"_s};

const QString kPlainQuery =
    u"SELECT Idarticulo , otros, cantidad, CodArtAlternativo, idext, factura_nro, descripcion , "
    u"NROSUBITEM From SUBITEMS WHERE Interno = 'BRC' And NroITEM = '0001' And NroSUBITEM = '0002' "
    u"Order by OTROS "_s;

QString licenceQuery(const QString &subitem)
{
    return u"Select ARTNRO as IDARTICULO, ITEMREFERENCECODE as OTROS, ARTCAN as CANTIDAD, ARTNRO2 as "
           u"CODARTALTERNATIVO, ARTORD as IDEXT, ART_ITS,ARTFAC as FACTURA_NRO,ARTDSC as DESCRIPCION , "
           u"DECLARACION_CANCELA,ITEM_CANCELA,SUBITEM_CANCELA as NROSUBITEM FROM ART WHERE INTNRO = "
           u"'PRC' AND DECLARACION_CANCELA='19001DJAI000001A' AND ITEM_CANCELA='0007' AND "
           u"SUBITEM_CANCELA='"_s
        + subitem + u"' Order by ITEM_CANCELA ,SUBITEM_CANCELA"_s;
}

// The official item 0001 (declared quantity 10) cancelling item 0007 of a licence, and its
// subitem 0002 (declared quantity 6, licence subitem 0005).
struct Rows {
    Recordset item{rows({u"NRO_ITEM"_s, u"CANTIDAD_DECLARADA"_s, u"MONTO_FOB_DIV"_s,
                         u"DECLARACION_A_CANCELAR"_s, u"NRO_ITEM_A_CANCELAR"_s, u"IDN_DESPACHO"_s},
                        {{u"0001"_s, 10, 1000, u"19001DJAI000001A"_s, u"0007"_s,
                          u"19001IC04000123A"_s}})};
    Recordset subitem{rows({u"NRO_SUBITEM"_s, u"CANTIDAD_DECLARADA"_s, u"MONTO_FOB"_s,
                            u"REFERENCIA"_s, u"SUFIJOS_DE_VALOR"_s},
                           {{u"0002"_s, 6, 600, u"0005"_s, u"AA(X) AB(Y&Z)"_s}})};
};

// An article line: number, reference code, quantity, alternative code, line, invoice.
QVariantList article(const char *id, const char *otros, double cantidad, const QVariant &alt,
                     int idext, const char *factura)
{
    return {QString::fromUtf8(id), QString::fromUtf8(otros), cantidad, alt, idext,
            QString::fromUtf8(factura), QString(u"Desc "_s + QString::fromUtf8(id)), u"0002"_s};
}

QString fullDetail(const QString &cantidad, const QString &codigo, const QString &parte)
{
    return u"<productReferenceCodeDetail><productReferenceCodeQuantity>"_s + cantidad
        + u"</productReferenceCodeQuantity><productReferenceCodeID>"_s + codigo
        + u"</productReferenceCodeID><productReferenceCodePartNumber>"_s + parte
        + u"</productReferenceCodePartNumber><productReferenceCodeDJAINumber>19001DJAI000001A"
          u"</productReferenceCodeDJAINumber><productReferenceCodeDJAIItemNumber>0007"
          u"</productReferenceCodeDJAIItemNumber><productReferenceCodeDJAISubitemNumber>0005"
          u"</productReferenceCodeDJAISubitemNumber><productReferenceCodeSpecification>AA(X) "
          u"AB(Y&amp;Z)</productReferenceCodeSpecification></productReferenceCodeDetail>"_s;
}

QString mismatchDetail(const QString &texto, const QString &codigo, const QString &parte)
{
    return u"<productReferenceCodeDetail><productReferenceCodeQuantity>"_s + texto
        + u"</productReferenceCodeQuantity><productReferenceCodeID>"_s + codigo
        + u"</productReferenceCodeID><productReferenceCodePartNumber>"_s + parte
        + u"</productReferenceCodePartNumber><productReferenceCodeDJAINumber>"
          u"</productReferenceCodeDJAINumber><productReferenceCodeDJAIItemNumber>"
          u"</productReferenceCodeDJAIItemNumber><productReferenceCodeDJAISubitemNumber>"
          u"</productReferenceCodeDJAISubitemNumber><productReferenceCodeSpecification>"
          u"</productReferenceCodeSpecification></productReferenceCodeDetail>"_s;
}

// A run whose declaration remembers process reference code PRC and broker reference code BRC.
struct Detail {
    Detail()
    {
        t.rt.Despacho = u"19001IC04000123A"_s;
        t.data.onContains(kHistorial, u"Select xml_ProcessRC"_s, rows({u"x"_s}, {{u"PRC"_s}}));
        t.data.onContains(kHistorial, u"Select IDENTIFICADOR_PROPIO"_s, rows({u"x"_s}, {{u"BRC"_s}}));
    }
    void articles(const QString &fragment, const QList<QVariantList> &lines)
    {
        t.data.onContains(kInternos, fragment, rows(kArticleColumns, lines));
    }
    // The DI's article lines under PRC; `cancela` is the first line's DECLARACION_CANCELA.
    void di(const QVariant &cancela)
    {
        t.data.onContains(kInternos, u"SELECT * FROM ART WHERE INTNRO = 'PRC'"_s,
                          rows({u"DECLARACION_CANCELA"_s}, {{cancela}}));
    }
    void inCaldra(const QString &interno)
    {
        t.data.onContains(kInternos, u"from Caratula where Interno = '"_s + interno + u"'"_s,
                          rows({u"Interno"_s}, {{interno}}));
    }
    void groupedQuantity(double sum)
    {
        t.data.onContains(kInternos, u"SUM(CANTIDAD)"_s, rows({u"CANTIDAD"_s}, {{sum}}));
    }
    QString run(bool sinSubitems, const QString &processRC = u"PRC"_s)
    {
        return GetIMPOTag_productReferenceCodeDetail(t.rt, r.item, r.subitem, u"BRC"_s, processRC,
                                                     list, sinSubitems, articulos, itemCompleto);
    }

    TestRun t;
    Rows r;
    QStringList list{QString()};
    Recordset articulos;
    bool itemCompleto = false;
};

}  // namespace

TEST(ReferenceCodeDetail, ChoosesTheArticleStatement)
{
    struct Case {
        const char *name;
        bool omitir;
        QString processRC;
        QVariant diCancela;  // invalid: no DI article lines
        bool wholeItem;
        QString query;       // the article statement; empty: none runs
    };
    const Case cases[] = {
        {"licence lines when the DJ-DI relation is ignored", true, u"PRC"_s, {}, false,
         licenceQuery(u"0002"_s)},
        {"a licence item cancelled as a whole", true, u"PRC"_s, {}, true, licenceQuery(u"0000"_s)},
        {"no DI: the interno's own subitem lines", false, u"PRC"_s, {}, false, kPlainQuery},
        {"a DI without licence data: nothing", false, u"PRC"_s, QString(), false, {}},
        {"a DI cancelling a licence: its lines", false, u"PRC"_s, u"DJAI"_s, false,
         licenceQuery(u"0002"_s)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Detail d;
        d.t.rt.cfg.OMITIRRELACIONDJDI = c.omitir;
        if (c.diCancela.isValid())
            d.di(c.diCancela);
        if (c.wholeItem)
            d.t.data.onContains(kInternos, u"subitem_cancela from ART"_s, rows({u"s"_s}, {{u"0000"_s}}));
        d.articles(u"Idarticulo"_s, {article("A1", "R1", 6, QVariant(), 1, "F1")});
        d.articles(u"ARTNRO as IDARTICULO"_s, {article("A1", "R1", 6, QVariant(), 1, "F1")});

        EXPECT_EQ(d.run(false), QString());

        const QStringList sent = d.t.data.statements(kInternos);
        EXPECT_EQ(sent.contains(c.query), !c.query.isEmpty()) << sent.join(u'\n').toStdString();
        EXPECT_EQ(d.articulos.RecordCount(), c.query.isEmpty() ? 0 : 1);
        EXPECT_EQ(d.itemCompleto, c.wholeItem);
        EXPECT_FALSE(d.t.rt.generacionCancelada);
        EXPECT_TRUE(d.t.boxes.shown().isEmpty());
    }
}

TEST(ReferenceCodeDetail, ProcessCodeEqualToTheInternoUsesTheGrouping)
{
    Detail d;
    d.t.data.onContains(kInternos, u"From GroupSubitems"_s,
                        rows({u"CANTIDAD"_s, u"FOB"_s, u"NROSUBITEM"_s}, {{6, 600, u"0002"_s}}));
    d.articles(u"Idarticulo"_s, {article("A1", "R1", 6, QVariant(), 1, "F1")});
    d.run(false, u"BRC"_s);
    EXPECT_EQ(d.t.data.statements(kInternos),
              (QStringList{u"Select * From GroupSubitems Where INTERNO = 'BRC' And ID = 1 And "
                           u"NROSUBITEM = '0002'"_s,
                           kPlainQuery}));
}

TEST(ReferenceCodeDetail, OneArticleIsHandedBackWithoutDetail)
{
    Detail d;
    d.articles(u"Idarticulo"_s, {article("A1", "R1", 6, QVariant(), 1, "F1")});
    EXPECT_EQ(d.run(true), QString());
    ASSERT_EQ(d.articulos.RecordCount(), 1);
    EXPECT_EQ(d.articulos.field(u"IDARTICULO"_s).toString(), u"A1"_s);
    EXPECT_EQ(d.list, QStringList{QString()});
    EXPECT_TRUE(d.t.logText().contains(u"[IMPO] - ITEM: 0001 SUBITEM: 0002 agrupados 1 arts."_s));
}

TEST(ReferenceCodeDetail, MatchingQuantitiesGiveAFullDetailPerArticle)
{
    for (const bool sinSubitems : {true, false}) {
        SCOPED_TRACE(sinSubitems ? "item without subitems" : "item with subitems");
        Detail d;
        // Declared: the item's 10 without subitems, the subitem's 6 with them.
        d.groupedQuantity(sinSubitems ? 10 : 6);
        d.articles(u"Idarticulo"_s, {article("A1", "R&1", 1, QVariant(), 3, "F'1"),
                                     article("A2", "R2", 2, u"ALT-2"_s, 5, "F'1"),
                                     article("A3", "R3", 3, QString(), 7, "F2")});

        EXPECT_EQ(d.run(sinSubitems), fullDetail(u"1"_s, u"R&amp;1"_s, u"A1"_s)
                                          + fullDetail(u"2"_s, u"R2"_s, u"ALT-2"_s)
                                          + fullDetail(u"3"_s, u"R3"_s, QString()));
        const QStringList filled{{}, u"3|||F'1"_s, u"5|||F'1"_s, u"7|||F2"_s};
        EXPECT_EQ(d.list, sinSubitems ? filled : QStringList{QString()});
        ASSERT_EQ(d.articulos.RecordCount(), 3);
        EXPECT_EQ(d.t.data.statements(kInternos).filter(u"SUM(CANTIDAD)"_s).first(),
                  u"SELECT SUM(CANTIDAD) as CANTIDAD From SUBITEMS WHERE Interno = 'BRC' And "
                  u"NroITEM = '0001' And NroSUBITEM = '0002'"_s);
        const QString log = d.t.logText();
        EXPECT_TRUE(log.contains(u"[IMPO] - ITEM: 0001 SUBITEM: 0002 agrupados 3 arts."_s));
        EXPECT_TRUE(log.contains(u"[0002] PRC: R2 ART: A2 CantDVN: 2 CantSIM: "_s
                                 + (sinSubitems ? u"10"_s : u"6"_s)));
        EXPECT_EQ(log.contains(u"valor bCFG_ReqDI_Impo: False"_s), !sinSubitems);
    }
}

TEST(ReferenceCodeDetail, PartNumberFollowsTheAlternativeCodeSetting)
{
    Detail d;
    d.t.rt.cfg.OMITIRCODIGOALTERNATIVO = true;
    d.groupedQuantity(6);
    d.articles(u"Idarticulo"_s, {article("A1", "R1", 4, u"ALT-1"_s, 1, "F1"),
                                 article("A2", "R2", 2, QString(), 2, "F1")});
    EXPECT_EQ(d.run(false), fullDetail(u"4"_s, u"R1"_s, u"A1"_s) + fullDetail(u"2"_s, u"R2"_s, u"A2"_s));
}

TEST(ReferenceCodeDetail, DifferentQuantitiesGiveMismatchDetails)
{
    for (const bool sinSubitems : {true, false}) {
        SCOPED_TRACE(sinSubitems ? "item without subitems" : "item with subitems");
        Detail d;
        d.groupedQuantity(9);
        d.articles(u"Idarticulo"_s, {article("A1", "R1", 4, QVariant(), 1, "F1"),
                                     article("A2", "R2", 5, QVariant(), 2, "F1")});
        d.t.data.onContains(kInternos, u"b.itemreferencecode =  'R1'"_s, rows({u"ITR2"_s}, {{u"D1"_s}}));
        d.t.data.onContains(kInternos, u"b.itemreferencecode =  'R2'"_s, rows({u"ITR2"_s}, {{u"D2"_s}}));
        const QString texto = sinSubitems ? u"No coinciden las cantidades"_s
                                          : u"No coinciden las cantidades declaradas"_s;
        EXPECT_EQ(d.run(sinSubitems),
                  mismatchDetail(texto, u"D1"_s, u"A1"_s) + mismatchDetail(texto, u"D2"_s, u"A2"_s));
        EXPECT_EQ(d.list, QStringList{QString()});
        const QString log = d.t.logText();
        EXPECT_TRUE(log.contains(u"[002] PRC: R2 ART: A2 CantDVN: 5 CantSIM: "_s
                                 + (sinSubitems ? u"10"_s : u"6"_s) + u" ERROR!!!"_s));
    }
}

TEST(ReferenceCodeDetail, NoLicenceLinesUnderTheIgnoredRelationCancels)
{
    Detail d;
    d.t.rt.cfg.OMITIRRELACIONDJDI = true;
    EXPECT_EQ(d.run(false), QString());
    EXPECT_TRUE(d.t.rt.generacionCancelada);
    ASSERT_EQ(d.t.boxes.messages().size(), 1);
    EXPECT_EQ(d.t.boxes.messages()[0].text,
              u"No se encontro en el archivo DI (PRC) la referencia al/los articulos \r\n"
              u"que se cancela/n en la [19001DJAI000001A] ITEM [0007]\r\n"
              u"a la que hace referencia el [19001IC04000123A] ITEM [0001] SUBITEM [0002]\r\n"
              u"La generacion del archivo de retorno se cancelará"_s);
    EXPECT_EQ(d.t.boxes.messages()[0].icon, BoxIcon::Critical);
    EXPECT_EQ(d.t.boxes.messages()[0].title, QString());

    // Without the setting, no article lines are no product detail, silently.
    Detail quiet;
    EXPECT_EQ(quiet.run(false), QString());
    EXPECT_FALSE(quiet.t.rt.generacionCancelada);
    EXPECT_TRUE(quiet.t.boxes.shown().isEmpty());
}

TEST(ReferenceCodeDetail, ReferenceCodeRuleUnderTheRequiredDi)
{
    struct Case {
        const char *name;
        bool sinSubitems;
        bool omitir;
        QVariant diCancela;   // invalid: no DI
        QStringList inCaldra;
        QString code;         // "!": generation cancelled
        QStringList logLines;
        QString processRC = u"PRC"_s;  // as the header hands it
    };
    const Case cases[] = {
        {"no DI, interno of the item without subitems loaded", true, false, {}, {u"PRC"_s}, u"R1"_s, {}},
        {"no DI, broker interno loaded", false, false, {}, {u"BRC"_s}, u"R1"_s, {}},
        {"no DI, interno missing", true, false, {}, {u"BRC"_s}, u"!"_s, {}},
        {"DI and process interno loaded", false, true, QString(), {u"PRC"_s}, u"R1"_s,
         {u"existeDINO TIENE InfoDJAI"_s, u"pero tambien existe el interno en el CALDRA"_s}},
        {"DI, relation ignored", true, true, QString(), {}, u"R1"_s, {u"existeDINO Tiene InfoDJAI"_s}},
        {"DI with licence data, without subitems", true, false, u"DJ"_s, {}, u"R1"_s,
         {u"existeDITiene InfoDJAI"_s}},
        {"DI with licence data, with subitems", false, false, u"DJ"_s, {}, QString(),
         {u"existeDITiene InfoDJAI"_s}},
        // Articles of the broker's own grouping, codes from the DI.
        {"DI without licence data: the DI's code", false, false, QString(), {}, u"DI-R1"_s,
         {u"existeDINO TIENE InfoDJAI"_s}, u"BRC"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Detail d;
        d.t.rt.cfg.REQDIIMPO = true;
        d.t.rt.cfg.OMITIRRELACIONDJDI = c.omitir;
        if (c.diCancela.isValid())
            d.di(c.diCancela);
        for (const QString &interno : c.inCaldra)
            d.inCaldra(interno);
        d.groupedQuantity(c.sinSubitems ? 10 : 6);
        const QList<QVariantList> lines{article("A1", "R1", 5, QVariant(), 1, "F1"),
                                        article("A2", "R1", 5, QVariant(), 2, "F1")};
        d.articles(u"Idarticulo"_s, lines);
        d.articles(u"ARTNRO as IDARTICULO"_s, lines);
        d.t.data.onContains(kInternos, u"b.itemreferencecode =  'R1'"_s, rows({u"ITR2"_s}, {{u"DI-R1"_s}}));
        d.t.data.onContains(kInternos, u"From GroupSubitems"_s,
                            rows({u"CANTIDAD"_s, u"FOB"_s, u"NROSUBITEM"_s}, {{6, 600, u"0002"_s}}));

        const QString xml = d.run(c.sinSubitems, c.processRC);

        if (c.code == u"!"_s) {
            EXPECT_EQ(xml, QString());
            EXPECT_TRUE(d.t.rt.generacionCancelada);
            ASSERT_EQ(d.t.boxes.messages().size(), 1);
            EXPECT_TRUE(d.t.boxes.messages()[0].text.startsWith(
                u"Interno PRC no encontrado en el Velmora (Paso 1)."_s));
            EXPECT_EQ(d.t.boxes.messages()[0].title, u"Requerimientos de generacion del DI incompleto."_s);
            continue;
        }
        EXPECT_FALSE(d.t.rt.generacionCancelada);
        EXPECT_EQ(xml.count(u"<productReferenceCodeID>"_s + c.code + u"</productReferenceCodeID>"_s), 2)
            << xml.toStdString();
        const QString log = d.t.logText();
        for (const QString &line : c.logLines)
            EXPECT_TRUE(log.contains(line)) << line.toStdString();
        EXPECT_EQ(log.contains(u"valor bCFG_ReqDI_Impo: True"_s), !c.sinSubitems);
    }
}

TEST(ReferenceCodeDetail, AFailureIsRaisedAgainWithItsSource)
{
    Detail d;
    d.t.data.onContains(kInternos, u"Idarticulo"_s,
                        rows({u"Idarticulo"_s}, {{u"A1"_s}, {u"A2"_s}}));
    try {
        d.run(true);
        ADD_FAILURE() << "no error raised";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), ErrNo::Product);
        EXPECT_TRUE(e.source().startsWith(u"GetIMPOTag_productReferenceCodeDetail linea "_s))
            << e.source().toStdString();
    }
}
