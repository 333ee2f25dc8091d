#include "gui/Frm_Main.h"
#include "gui/Frm_View.h"
#include "gui/OperationsModel.h"
#include "lookups/SubitemViews.h"

#include "support/DemoRun.h"
#include "support/TestSupport.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

QList<QStringList> gridRows(const QTableWidget *g)
{
    QList<QStringList> out;
    for (int r = 0; r < g->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < g->columnCount(); ++c)
            cells << (g->item(r, c) ? g->item(r, c)->text() : QString());
        out << cells;
    }
    return out;
}

QStringList headersAndWidths(const QTableWidget *g)
{
    QStringList out;
    for (int c = 0; c < g->columnCount(); ++c)
        out << g->horizontalHeaderItem(c)->text() + QLatin1Char(' ') + QString::number(g->columnWidth(c));
    return out;
}

QList<Frm_View *> viewers(Frm_Main &w)
{
    return w.findChildren<Frm_View *>();
}

}  // namespace

TEST(ViewerDemo, CmdCheckShowsTheThreeTablesOfTheCurrentRowsInterno)
{
    DemoRun demo;
    Frm_Main main(demo.rt);
    main.show();
    auto *list = main.findChild<QTableView *>(QStringLiteral("MsFgListaInternos"));
    int row = -1;
    for (int r = 0; r < main.operations().rowCount(); ++r)
        if (main.operations().cell(r, 0) == QStringLiteral("26001DJAI000007K"))
            row = r;
    ASSERT_GE(row, 0);
    ASSERT_EQ(main.operations().cell(row, 4), QStringLiteral("26-0398"));
    list->setCurrentIndex(main.operations().index(row, 0));
    auto *check = main.findChild<QPushButton *>(QStringLiteral("Cmd_Check"));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("Revisar Interno"));
    EXPECT_TRUE(check->isEnabled());

    QTest::mouseClick(check, Qt::LeftButton);

    ASSERT_EQ(viewers(main).size(), 1);
    Frm_View *view = viewers(main).first();
    EXPECT_TRUE(view->isVisible());
    const QTableWidget *crgs = view->grid(QStringLiteral("MSFG_CRGS"));
    const QTableWidget *grp = view->grid(QStringLiteral("MSFG_GRP_CALDRA"));
    const QTableWidget *maria = view->grid(QStringLiteral("MSFG_MARIA"));
    ASSERT_TRUE(crgs && grp && maria);
    EXPECT_EQ(headersAndWidths(crgs),
              (QStringList{"ITEM 53", "SUBITEM 53", "ARTICULO 133", "DESCRIPCION 266", "SUFIJOS 533"}));
    EXPECT_EQ(headersAndWidths(grp), (QStringList{"ITEM 53", "ARTICULO 133", "DESCRIPCION 266", "SUFIJOS 533"}));
    EXPECT_EQ(headersAndWidths(maria),
              (QStringList{"ITEM 53", "SUBITEM 53", "ARTICULO 100", "DESCRIPCION 266", "SUFIJOS 533"}));
    EXPECT_EQ(gridRows(crgs).size(), 4);
    EXPECT_EQ(gridRows(crgs).first(),
              (QStringList{" ", "1", "PH-A52-BLK", "Smartphone Nexa A52 128GB negro", "AA(NEXA) AB(A52) AC(128GB)"}));
    // The grouping as stored, the official subitems in canonical suffix order.
    EXPECT_EQ(gridRows(grp),
              (QList<QStringList>{{"1", "PH-A52", "Smartphones A52", "AC(128GB) AA(NEXA) AB(A52)"},
                                  {"1", "PH-A72", "Smartphones A72", "AB(A72) AA(NEXA) AC(256GB)"},
                                  {"2", "BUDS-2", "Auriculares Buds 2", "AB(BUDS2) AA(NEXA)"}}));
    EXPECT_EQ(gridRows(maria),
              (QList<QStringList>{{"1", "0001", "A52", " ", "AA(NEXA) AB(A52) AC(128GB)"},
                                  {"1", "0002", "A72", " ", "AA(NEXA) AB(A72) AC(256GB)"},
                                  {"2", "0000", "BUDS2", " ", "AA(NEXA) AB(BUDS2)"}}));
    EXPECT_TRUE(demo.boxes.shown().isEmpty());

    // Each click opens a viewer of its own.
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_EQ(viewers(main).size(), 2);
}

TEST(Viewer, AnEmptyInternoShowsNothingAndAsksNothing)
{
    TestRun run;
    Frm_View view(run.rt);
    view.setInterno(QString());
    view.Mostrar();
    EXPECT_FALSE(view.isVisible());
    EXPECT_TRUE(run.data.calls().isEmpty());
}

TEST(Viewer, AnInternoWithoutRowsLeavesTheHeadersOnly)
{
    TestRun run;
    Frm_View view(run.rt);
    view.setInterno(QStringLiteral("26-9999"));
    view.Mostrar();
    EXPECT_TRUE(view.isVisible());
    for (const char *name : {"MSFG_CRGS", "MSFG_GRP_CALDRA", "MSFG_MARIA"}) {
        SCOPED_TRACE(name);
        const QTableWidget *g = view.grid(QLatin1String(name));
        EXPECT_EQ(g->rowCount(), 0);
        EXPECT_GE(g->columnCount(), 4);
    }
    EXPECT_EQ(run.data.statements().size(), 4);
}

TEST(Viewer, ALongSuffixTextWrapsAndGrowsItsRowAndATallRowIsLeftAlone)
{
    TestRun run;
    QStringList codes;
    for (int i = 0; i < 40; ++i)
        codes << QStringLiteral("A%1(VALOR LARGO %1)").arg(i, 2, 10, QLatin1Char('0'));
    const QString longText = codes.join(QLatin1Char(' '));
    run.data.onContains(QStringLiteral("INTERNOS"), QStringLiteral("From Subitems"),
                        rows({QStringLiteral("ITEM"), QStringLiteral("SUBITEM"), QStringLiteral("ARTICULO"),
                              QStringLiteral("DESCRIPCION"), QStringLiteral("SUFIJOS")},
                             {{QStringLiteral(" "), 1, QStringLiteral("A"), QStringLiteral("d"), QStringLiteral("AA(X)")},
                              {QStringLiteral(" "), 2, QStringLiteral("B"), QVariant(), longText}}));
    Frm_View view(run.rt);
    view.setInterno(QStringLiteral("26-0001"));
    view.Mostrar();
    QTableWidget *g = view.grid(QStringLiteral("MSFG_CRGS"));
    ASSERT_EQ(g->rowCount(), 2);
    EXPECT_EQ(g->item(1, 3)->text(), QString());
    const int standard = g->verticalHeader()->defaultSectionSize();
    const int lineHeight = QFontMetrics(g->font()).lineSpacing();
    EXPECT_EQ(g->rowHeight(0), standard);
    EXPECT_GT(g->rowHeight(1), 3 * lineHeight);
    EXPECT_EQ(g->rowHeight(1) % (lineHeight + 2), 0);
    EXPECT_TRUE(g->wordWrap());

    // A row already taller than its text needs keeps its height.
    g->setRowHeight(1, 40 * lineHeight);
    Frm_View::ReSizeCellHeight(g, 1, 4);
    EXPECT_EQ(g->rowHeight(1), 40 * lineHeight);
}
