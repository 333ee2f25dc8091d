#include "lookups/Relations.h"

#include "platform/Error.h"
#include "support/DemoRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::DemoRun;
using b2d::test::TestRun;

namespace {

const QString kHist = QStringLiteral("HISTORIAL");

}  // namespace

TEST(Relations, EachTableHasItsStatementsWithQuotesDoubled)
{
    const struct {
        Relacion kind;
        const char *select;
        const char *insert;
        const char *remove;
        const char *question;
    } cases[] = {
        {Relacion::Concepto,
         "Select RelacionOrigen,RelacionDestino From RelacionConceptos Order By RelacionOrigen",
         "Insert into RelacionConceptos(RelacionOrigen,RelacionDestino) Values ('O''Brien','D''Arcy')",
         "Delete from RelacionConceptos where RelacionOrigen = 'O''Brien' AND RelacionDestino = "
         "'D''Arcy'",
         "Desea quitar la relacion de Concepto (O'Brien -> D'Arcy)"},
        {Relacion::Moneda, "Select IDSIM,IDISO,Descripcion From RelacionMonedas Order By IDSIM,IDISO",
         "Insert into RelacionMonedas(IDSIM,IDISO) Values ('O''Brien','D''Arcy')",
         "Delete from RelacionMonedas where IDSIM = 'O''Brien' AND IDISO = 'D''Arcy'",
         "Desea quitar la relacion de Moneda (O'Brien -> D'Arcy)"},
        {Relacion::Pais, "Select IDSIM,IDISO,Descripcion From RelacionPaises Order By IDSIM,IDISO",
         "Insert into RelacionPaises(IDSIM,IDISO) Values ('O''Brien','D''Arcy')",
         "Delete from RelacionPaises where IDSIM = 'O''Brien' AND IDISO = 'D''Arcy'",
         "Desea quitar la relacion de Pais (O'Brien -> D'Arcy)"},
    };
    const QString origen = QStringLiteral("O'Brien");
    const QString destino = QStringLiteral("D'Arcy");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.select);
        TestRun run;
        EXPECT_TRUE(CargarRelaciones(run.rt, c.kind).isEmpty());
        QString error;
        EXPECT_TRUE(insertRelation(run.rt, c.kind, origen, destino, &error));
        EXPECT_TRUE(deleteRelation(run.rt, c.kind, origen, destino, &error));
        EXPECT_EQ(run.data.statements(kHist),
                  (QStringList{QLatin1String(c.select), QLatin1String(c.insert), QLatin1String(c.remove)}));
        EXPECT_EQ(relationDeleteQuestion(c.kind, origen, destino), QLatin1String(c.question));
    }
}

TEST(Relations, GridRowsReadTheirColumnsByNameWithNullAsEmpty)
{
    TestRun run;
    run.data.onContains(kHist, QStringLiteral("From RelacionMonedas"),
                        rows({QStringLiteral("IDSIM"), QStringLiteral("IDISO"), QStringLiteral("Descripcion")},
                             {{QStringLiteral("DOL"), QStringLiteral("USD"), QStringLiteral("Dolar")},
                              {QStringLiteral("060"), QStringLiteral("EUR"), QVariant()}}));
    run.data.onContains(kHist, QStringLiteral("From RelacionConceptos"),
                        rows({QStringLiteral("RelacionOrigen"), QStringLiteral("RelacionDestino")},
                             {{QStringLiteral("010"), QVariant()}}));
    EXPECT_EQ(CargarRelaciones(run.rt, Relacion::Moneda),
              (QList<QStringList>{{"DOL", "USD", "Dolar"}, {"060", "EUR", ""}}));
    EXPECT_EQ(CargarRelaciones(run.rt, Relacion::Concepto), (QList<QStringList>{{"010", ""}}));
}

TEST(Relations, ARefusedStatementGivesTheDatabasesText)
{
    TestRun run;
    run.data.failOn(kHist, QStringLiteral("RelacionPaises"), QStringLiteral("no such table: RelacionPaises"));
    try {
        CargarRelaciones(run.rt, Relacion::Pais);
        ADD_FAILURE() << "a refused list must not pass as an empty one";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), ErrNo::Database);
        EXPECT_EQ(e.description(), QStringLiteral("no such table: RelacionPaises"));
    }
    QString error;
    EXPECT_FALSE(insertRelation(run.rt, Relacion::Pais, QStringLiteral("203"), QStringLiteral("BR"), &error));
    EXPECT_EQ(error, QStringLiteral("no such table: RelacionPaises"));
    error.clear();
    EXPECT_FALSE(deleteRelation(run.rt, Relacion::Pais, QStringLiteral("203"), QStringLiteral("BR"), &error));
    EXPECT_EQ(error, QStringLiteral("no such table: RelacionPaises"));
}

TEST(Relations, OnTheDemoDatabaseAnApostropheIsStoredAndAPairGoesInOneDeletion)
{
    DemoRun demo;
    QString error;
    ASSERT_TRUE(insertRelation(demo.rt, Relacion::Pais, QStringLiteral("O'9"), QStringLiteral("CL"), &error))
        << error.toStdString();
    // A pair stored twice, and a row of the same origin with another destination.
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(insertRelation(demo.rt, Relacion::Pais, QStringLiteral("777"), QStringLiteral("XX"), &error));
    ASSERT_TRUE(insertRelation(demo.rt, Relacion::Pais, QStringLiteral("777"), QStringLiteral("YY"), &error));

    auto rowsOf = [&](const QString &sim) {
        QList<QStringList> out;
        for (const QStringList &r : CargarRelaciones(demo.rt, Relacion::Pais))
            if (r.at(0) == sim)
                out << r;
        return out;
    };
    // Inserted without a description.
    EXPECT_EQ(rowsOf(QStringLiteral("O'9")), (QList<QStringList>{{"O'9", "CL", ""}}));
    EXPECT_EQ(rowsOf(QStringLiteral("777")).size(), 3);

    EXPECT_TRUE(deleteRelation(demo.rt, Relacion::Pais, QStringLiteral("777"), QStringLiteral("XX"), &error));
    EXPECT_EQ(rowsOf(QStringLiteral("777")), (QList<QStringList>{{"777", "YY", ""}}));
    EXPECT_TRUE(deleteRelation(demo.rt, Relacion::Pais, QStringLiteral("O'9"), QStringLiteral("CL"), &error));
    EXPECT_TRUE(rowsOf(QStringLiteral("O'9")).isEmpty());
}

TEST(Relations, OnTheDemoDatabaseARefusedInsertGivesTheDatabasesText)
{
    DemoRun demo;
    demo.exec(kHist, QStringLiteral("CREATE UNIQUE INDEX RelacionMonedas_Par ON RelacionMonedas (IDSIM, IDISO)"));
    const QList<QStringList> before = CargarRelaciones(demo.rt, Relacion::Moneda);
    ASSERT_FALSE(before.isEmpty());
    QString error;
    EXPECT_FALSE(insertRelation(demo.rt, Relacion::Moneda, before.first().at(0), before.first().at(1), &error));
    EXPECT_TRUE(error.contains(QLatin1String("UNIQUE constraint failed"))) << error.toStdString();
    EXPECT_EQ(CargarRelaciones(demo.rt, Relacion::Moneda), before);
}
