#include "app/OperationsList.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

const QStringList kProcedureColumns = {
    QStringLiteral("NroDeclaracion"), QStringLiteral("FechaOficializacion"), QStringLiteral("Subregimen"),
    QStringLiteral("Interno"),        QStringLiteral("InternoDestino"),      QStringLiteral("Xml_B2DFile"),
    QStringLiteral("Xml_Procesado"),  QStringLiteral("Xml_Enviado")};

}  // namespace

TEST(OperationsList, StatementCarriesTheRangeAndTheOrder)
{
    struct Case {
        QDate desde, hasta;
        OperationsOrder order;
        const char *statement;
    };
    const Case cases[] = {
        {QDate(2019, 2, 26), QDate(2019, 3, 5), OperationsOrder::Fecha,
         "exec sp_Traer_Internos_VelmoraB2D '26/02/2019','05/03/2019',0"},
        {QDate(2019, 2, 26), QDate(2019, 3, 5), OperationsOrder::Interno,
         "exec sp_Traer_Internos_VelmoraB2D '26/02/2019','05/03/2019',1"},
        {QDate(2019, 12, 31), QDate(2020, 1, 1), OperationsOrder::None, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.statement);
        EXPECT_EQ(operationsStatement(c.desde, c.hasta, c.order), QString::fromUtf8(c.statement));
        TestRun run;
        CargarOperaciones(run.rt, c.desde, c.hasta, c.order);
        const QStringList sent = run.data.statements(QStringLiteral("INTERNOS"));
        EXPECT_EQ(sent, *c.statement ? QStringList{QString::fromUtf8(c.statement)} : QStringList{});
    }
}

TEST(OperationsList, RowsShowTheProcedureColumnsWithoutTheImportPrefix)
{
    TestRun run;
    run.rt.cfg.PREFIJO = QStringLiteral("AB_");
    const QVariant null;
    run.data.onContains(
        QStringLiteral("INTERNOS"), QStringLiteral("sp_Traer_Internos_VelmoraB2D"),
        rows(kProcedureColumns,
             {
                 {QStringLiteral("19001IC04000123A"), QStringLiteral("2019-03-01 00:00:00"),
                  QStringLiteral("IC04"), QStringLiteral("0055/09"), QStringLiteral("2019/77"),
                  QStringLiteral("AB__IC04_2019_77_20190305140709"), QStringLiteral("2019-03-05"), null},
                 {QStringLiteral("19001EC01000077B"),
                  QDateTime(QDate(2019, 3, 2), QTime(16, 20, 5)), QStringLiteral("EC01"),
                  QStringLiteral("0077/09"), null, QStringLiteral("XP_EC01_0077_09_20190304101010"),
                  QDateTime(QDate(2019, 3, 4), QTime(0, 0)), QDate(2019, 3, 5)},
                 {QStringLiteral("19001IC04000124B"), QStringLiteral("2019-03-03"), QStringLiteral("IC04"),
                  QStringLiteral("0056/09"), QStringLiteral("AB_7"), null, null, null},
             }));
    bool failed = true;
    const QList<QStringList> list = CargarOperaciones(run.rt, QDate(2019, 2, 26), QDate(2019, 3, 5),
                                                      OperationsOrder::Interno, &failed);
    EXPECT_FALSE(failed);
    ASSERT_EQ(list.size(), 3);
    const QString e;
    EXPECT_EQ(list[0], (QStringList{QStringLiteral("19001IC04000123A"), QStringLiteral("01/03/2019"),
                                    QStringLiteral("IC04"), e, QStringLiteral("0055/09"),
                                    QStringLiteral("2019/77"), QStringLiteral("IC04_2019_77_20190305140709"),
                                    QStringLiteral("05/03/2019"), e}));
    // An export file carries the other prefix and is shown whole; date-times keep their time.
    EXPECT_EQ(list[1], (QStringList{QStringLiteral("19001EC01000077B"),
                                    QStringLiteral("02/03/2019 16:20:05"), QStringLiteral("EC01"), e,
                                    QStringLiteral("0077/09"), e,
                                    QStringLiteral("XP_EC01_0077_09_20190304101010"),
                                    QStringLiteral("04/03/2019"), QStringLiteral("05/03/2019")}));
    // Nulls are empty cells; the prefix is taken out of stored names only.
    EXPECT_EQ(list[2], (QStringList{QStringLiteral("19001IC04000124B"), QStringLiteral("03/03/2019"),
                                    QStringLiteral("IC04"), e, QStringLiteral("0056/09"),
                                    QStringLiteral("AB_7"), e, e, e}));
    EXPECT_TRUE(run.boxes.shown().isEmpty());
}

TEST(OperationsList, PrefixIsRemovedWhereverItOccurs)
{
    struct Case {
        const char *prefix;
        const char *stored;
        const char *shown;
    };
    const Case cases[] = {
        {"AB_", "AB__IC04_2019_77_20190305140709", "IC04_2019_77_20190305140709"},
        {"AB", "AB_IC04_AB_1_20190305140709", "IC04_1_20190305140709"},
        {"DVNI", "DVNE_EC01_26-0405_20260305163012", "DVNE_EC01_26-0405_20260305163012"},
        {"", "_IC04_X_20190305140709", "_IC04_X_20190305140709"},
        // A prefix holding a separator is written made safe.
        {"../", "..__IC04_X_20190305140709", "IC04_X_20190305140709"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        TestRun run;
        run.rt.cfg.PREFIJO = QString::fromUtf8(c.prefix);
        run.data.onContains(QStringLiteral("INTERNOS"), QStringLiteral("exec"),
                            rows(kProcedureColumns, {{QStringLiteral("N"), {}, {}, {}, {},
                                                      QString::fromUtf8(c.stored), {}, {}}}));
        const QList<QStringList> list =
            CargarOperaciones(run.rt, QDate(2019, 3, 1), QDate(2019, 3, 5), OperationsOrder::Fecha);
        ASSERT_EQ(list.size(), 1);
        EXPECT_EQ(list[0][6], QString::fromUtf8(c.shown));
    }
}

TEST(OperationsList, RefusedProcedureShowsTheStandardBoxAndLeavesTheListEmpty)
{
    TestRun run;
    run.data.failOn(QStringLiteral("INTERNOS"), QStringLiteral("exec"),
                    QStringLiteral("unknown procedure sp_Traer_Internos_VelmoraB2D"));
    bool failed = false;
    const QList<QStringList> list = CargarOperaciones(run.rt, QDate(2019, 3, 1), QDate(2019, 3, 5),
                                                      OperationsOrder::Interno, &failed);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(failed);
    const QList<ScriptedBoxes::Shown> boxes = run.boxes.messages();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, BoxIcon::Warning);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("unknown procedure sp_Traer_Internos_VelmoraB2D")));
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("in procedure CargarGrilla of Módulo Mod_Main")));

    // No rows is no failure: an empty list and no box.
    TestRun quiet;
    EXPECT_TRUE(CargarOperaciones(quiet.rt, QDate(2019, 3, 1), QDate(2019, 3, 5),
                                  OperationsOrder::Interno, &failed)
                    .isEmpty());
    EXPECT_FALSE(failed);
    EXPECT_TRUE(quiet.boxes.shown().isEmpty());
}
