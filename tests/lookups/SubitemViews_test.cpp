#include "lookups/SubitemViews.h"

#include "platform/Error.h"
#include "support/DemoRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::DemoRun;
using b2d::test::TestRun;

namespace {

const QString kHist = QStringLiteral("HISTORIAL");
const QString kInt = QStringLiteral("INTERNOS");

QStringList headers(const SubitemView &v)
{
    QStringList out;
    for (const auto &c : v.columns)
        out << c.header + QLatin1Char(' ') + QString::number(c.widthTwips);
    return out;
}

}  // namespace

TEST(SubitemViews, TheFourStatementsCarryTheInternoWithItsQuotesDoubled)
{
    TestRun run;
    run.data.onContains(kHist, QStringLiteral("From CARATULA_CARATULA"),
                        rows({QStringLiteral("DESPACHO")},
                             {{QStringLiteral("19001IC04000001A")}, {QStringLiteral("19001IC04000077'A")}}));
    const QList<SubitemView> views = subitemViews(run.rt, QStringLiteral("19-'77"));
    ASSERT_EQ(views.size(), 3);
    EXPECT_EQ(run.data.statements(),
              (QStringList{
                  "Select ' ' as ITEM, id as SUBITEM ,idarticulo as ARTICULO,descripcion as "
                  "DESCRIPCION, sufijos as SUFIJOS  From Subitems Where  interno = '19-''77' order by ID",
                  "Select id as ITEM, idarticulo as ARTICULO,descripcion as DESCRIPCION, sufijos as "
                  "SUFIJOS  From GroupSubitems Where  interno = '19-''77' order by ID",
                  "Select DESPACHO From CARATULA_CARATULA Where IDENTIFICADOR_PROPIO = '19-''77'",
                  // The number of the last declaration read.
                  "Select IDN_ITEM as ITEM, NRO_SUBITEM as SUBITEM , INDICADOR_PROPIO as ARTICULO, ' ' "
                  "as DESCRIPCION, sufijos_de_valor as SUFIJOS  From items_subitems Where  "
                  "IDN_DESPACHO = '19001IC04000077''A' order by ITEM,SUBITEM",
              }));
    EXPECT_EQ(run.data.statements(kInt).size(), 2);

    EXPECT_EQ(views.at(0).grid, QStringLiteral("MSFG_CRGS"));
    EXPECT_EQ(headers(views.at(0)), (QStringList{"ITEM 800", "SUBITEM 800", "ARTICULO 2000",
                                                 "DESCRIPCION 4000", "SUFIJOS 8000"}));
    EXPECT_EQ(views.at(1).grid, QStringLiteral("MSFG_GRP_CALDRA"));
    EXPECT_EQ(headers(views.at(1)),
              (QStringList{"ITEM 800", "ARTICULO 2000", "DESCRIPCION 4000", "SUFIJOS 8000"}));
    EXPECT_EQ(views.at(2).grid, QStringLiteral("MSFG_MARIA"));
    EXPECT_EQ(headers(views.at(2)), (QStringList{"ITEM 800", "SUBITEM 800", "ARTICULO 1500",
                                                 "DESCRIPCION 4000", "SUFIJOS 8000"}));
    EXPECT_EQ(views.at(0).suffixColumn, 4);
    EXPECT_EQ(views.at(1).suffixColumn, 3);
    EXPECT_EQ(views.at(2).suffixColumn, 4);
}

TEST(SubitemViews, OnlyTheOfficialSuffixesAreSortedAndNullsReadEmpty)
{
    TestRun run;
    const QString unsorted = QStringLiteral("AC(128GB) AA(NEXA) AB(A52)");
    const QStringList fiveColumns{QStringLiteral("ITEM"), QStringLiteral("SUBITEM"), QStringLiteral("ARTICULO"),
                                  QStringLiteral("DESCRIPCION"), QStringLiteral("SUFIJOS")};
    run.data.onContains(kInt, QStringLiteral("From Subitems"),
                        rows(fiveColumns, {{QStringLiteral(" "), 1, QStringLiteral("PH-A52"), QVariant(), unsorted},
                                           {QStringLiteral(" "), 2, QVariant(), QStringLiteral("Azul"), QVariant()}}));
    run.data.onContains(kInt, QStringLiteral("From GroupSubitems"),
                        rows({QStringLiteral("ITEM"), QStringLiteral("ARTICULO"), QStringLiteral("DESCRIPCION"),
                              QStringLiteral("SUFIJOS")},
                             {{1, QStringLiteral("PH-A52"), QStringLiteral("Smartphones"), unsorted}}));
    run.data.onContains(kHist, QStringLiteral("From CARATULA_CARATULA"),
                        rows({QStringLiteral("DESPACHO")}, {{QStringLiteral("26001DJAI000007K")}}));
    run.data.onContains(kHist, QStringLiteral("From items_subitems"),
                        rows(fiveColumns, {{1, QStringLiteral("0001"), QStringLiteral("A52"), QStringLiteral(" "), unsorted},
                                           {2, QStringLiteral("0000"), QVariant(), QStringLiteral(" "), QVariant()}}));
    const QList<SubitemView> views = subitemViews(run.rt, QStringLiteral("26-0398"));
    ASSERT_EQ(views.size(), 3);
    EXPECT_EQ(views.at(0).rows, (QList<QStringList>{{" ", "1", "PH-A52", "", unsorted}, {" ", "2", "", "Azul", ""}}));
    EXPECT_EQ(views.at(1).rows, (QList<QStringList>{{"1", "PH-A52", "Smartphones", unsorted}}));
    EXPECT_EQ(views.at(2).rows, (QList<QStringList>{{"1", "0001", "A52", " ", "AA(NEXA) AB(A52) AC(128GB)"},
                                                    {"2", "0000", "", " ", ""}}));
}

TEST(SubitemViews, WithoutADeclarationTheOfficialTableIsEmptyAndAnEmptyInternoAsksNothing)
{
    TestRun run;
    EXPECT_EQ(Get_NroOfic(run.rt, QStringLiteral("26-9999")), QString());
    const SubitemView maria = CargarDatos_Maria(run.rt, QStringLiteral("26-9999"));
    EXPECT_TRUE(maria.rows.isEmpty());
    EXPECT_TRUE(run.data.statements().last().contains(QLatin1String("IDN_DESPACHO = '' order by")));

    run.data.clearCalls();
    EXPECT_TRUE(subitemViews(run.rt, QString()).isEmpty());
    EXPECT_TRUE(run.data.calls().isEmpty());
}

TEST(SubitemViews, ARefusedStatementIsReportedNotShownAsEmpty)
{
    TestRun run;
    run.data.failOn(kInt, QStringLiteral("GroupSubitems"), QStringLiteral("no such table: GroupSubitems"));
    EXPECT_THROW(subitemViews(run.rt, QStringLiteral("26-0398")), B2DError);
}

TEST(SubitemViews, TheDemoLicenceShowsItsSuffixesSortedOnlyInTheOfficialTable)
{
    DemoRun demo;
    const QList<SubitemView> views = subitemViews(demo.rt, QStringLiteral("26-0398"));
    ASSERT_EQ(views.size(), 3);
    EXPECT_EQ(Get_NroOfic(demo.rt, QStringLiteral("26-0398")), QStringLiteral("26001DJAI000007K"));
    ASSERT_EQ(views.at(0).rows.size(), 4);
    EXPECT_EQ(views.at(0).rows.at(0),
              (QStringList{" ", "1", "PH-A52-BLK", "Smartphone Nexa A52 128GB negro", "AA(NEXA) AB(A52) AC(128GB)"}));
    EXPECT_EQ(views.at(1).rows,
              (QList<QStringList>{{"1", "PH-A52", "Smartphones A52", "AC(128GB) AA(NEXA) AB(A52)"},
                                  {"1", "PH-A72", "Smartphones A72", "AB(A72) AA(NEXA) AC(256GB)"},
                                  {"2", "BUDS-2", "Auriculares Buds 2", "AB(BUDS2) AA(NEXA)"}}));
    EXPECT_EQ(views.at(2).rows,
              (QList<QStringList>{{"1", "0001", "A52", " ", "AA(NEXA) AB(A52) AC(128GB)"},
                                  {"1", "0002", "A72", " ", "AA(NEXA) AB(A72) AC(256GB)"},
                                  {"2", "0000", "BUDS2", " ", "AA(NEXA) AB(BUDS2)"}}));
}
